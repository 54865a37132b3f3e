#include "kalorix/core/extras_help.h"

namespace kalorix {

const HelpPage& help_extras_page() {
    static const HelpPage page = {
        "  EXTRAS: Bild sichern, Vollbild, Beamer-Farben ",
        {
            "|",
            "| Bild speichern ...  (Strg+S):  Das Bild im Fenster wird als PNG-Datei (1024 x 768 Punkte)",
            "|                                gespeichert, etwa für ein Arbeitsblatt. Vorgeschlagen werden",
            "|                                der Bilder-Ordner und ein Name mit Datum und Uhrzeit.",
            "| Bild drucken ...    (Strg+P):  Das Bild wird quer auf eine Seite gedruckt, ohne Drucker",
            "|                                in eine PDF-Datei.",
            "| Bild kopieren       (Strg+C):  Das Bild kommt in die Zwischenablage und lässt sich in ein",
            "|                                Arbeitsblatt oder eine Folie einfügen.",
            "| ",
            "| Vollbild            (F11):     Das Fenster füllt den ganzen Bildschirm, das Menü bleibt.",
            "|                                F11 oder der Menüpunkt schaltet zurück.",
            "| Beamer-Farben:                 Dunkler Hintergrund und kräftige Farben, gut lesbar mit dem",
            "|                                Beamer: Raum A bleibt gelb, Raum B blau, die Gesamtentropie",
            "|                                (sonst schwarz) wird grün. Die Wahl gilt auch beim nächsten Start.",
            "| Druckfarben:                   Weißes Papier statt Blau: 'Bild drucken' druckt mit weißem",
            "|                                Hintergrund und dunklen Farben, der Bildschirm bleibt, wie er ist.",
            "|                                Raum A wird braun statt gelb, Raum B bleibt blau, Weiß wird grau;",
            "|                                jede Schrift und Kurve ist auf dem Blatt gut zu lesen.",
            "| Bild in Druckfarben speichern ...:  das Bild so als PNG-Datei, etwa für ein Arbeitsblatt.",
            "| ",
            "| Daten speichern ... (Strg+E):  Die Zahlen der Analyse auf dem Bildschirm als CSV-Datei: je",
            "|                                Schritt bzw. Versuch eine Zeile, in voller Genauigkeit. Öffnen",
            "|                                mit LibreOffice Calc oder Excel: Trennzeichen Semikolon,",
            "|                                Zeichensatz UTF-8, Dezimalkomma.",
            "| Diese Werte weitergeben ...:   Befehlszeile und Browser-Link, die kalorix mit den Werten",
            "|                                der letzten Eingabe starten, in die Zwischenablage.",
            "| ",
            "| Automatisch weiter (Strg+A):   Das Experiment macht 10 Versuche pro Sekunde von selbst;",
            "|                                eine Taste oder eine Maustaste hält es an, das Ende des",
            "|                                Experiments auch. Das Häkchen im Menü zeigt, ob es läuft.",
            "| Ein Menüpunkt, der während 'Weiter ?  <RETURN>' gewählt wird, wird erst nach der Taste",
            "| ausgeführt; die Zeile unter dem Bild zeigt ihn bis dahin an.",
            "| ",
            "| Die Extras ändern nichts an der Rechnung. Sie wirken auch während einer Analyse und",
            "| während 'Weiter ?  <RETURN>' wartet; jede gewöhnliche Taste setzt dort wie bisher fort.",
            "| ",
        }};
    return page;
}

}  // namespace kalorix
