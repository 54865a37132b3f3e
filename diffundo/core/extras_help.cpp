#include "diffundo/core/extras_help.h"

#include <initializer_list>
#include <string_view>

namespace diffundo {

std::string extras_page_text() {
    const std::initializer_list<std::string_view> lines = {
        "  EXTRAS: Bild sichern, Vollbild, Beamer-Farben ",
        "",
        " Bild speichern ...  (Strg+S):  das Bild im Fenster als PNG-Datei",
        "                                (1024 x 768 Punkte), z.B. für ein Arbeitsblatt;",
        "                                vorgeschlagen werden der Bilder-Ordner und",
        "                                ein Name mit Datum und Uhrzeit.",
        " Bild drucken ...    (Strg+P):  quer auf eine Seite, ohne Drucker als PDF-Datei.",
        " Bild kopieren       (Strg+C):  in die Zwischenablage, zum Einfügen in ein",
        "                                Arbeitsblatt oder eine Folie.",
        " ",
        " Vollbild            (F11):     das Fenster füllt den ganzen Bildschirm,",
        "                                das Menü bleibt; F11 schaltet zurück.",
        " Beamer-Farben:                 dunkler Hintergrund, kräftige Farben, gut",
        "                                lesbar mit dem Beamer; die Häufigkeit (sonst",
        "                                schwarz) wird grün. Die Wahl gilt auch beim",
        "                                nächsten Start.",
        " Druckfarben:                   weißes Papier statt Blau: 'Bild drucken' druckt",
        "                                mit weißem Hintergrund und dunklen Farben, der",
        "                                Bildschirm bleibt, wie er ist. Weiße Balken und",
        "                                Texte werden grau, Schwarzes bleibt schwarz; auf",
        "                                dem Blatt ist alles gut zu lesen.",
        " Bild in Druckfarben speichern ...:  das Bild so als PNG-Datei.",
        " ",
        " Daten speichern ... (Strg+E):  die Häufigkeitstabelle als CSV-Datei: je Aufteilung m",
        "                                Anzahl, relative Häufigkeit, g(N,m)/2^N und ln g(N,m).",
        "                                Öffnen: LibreOffice Calc oder Excel, Trennzeichen",
        "                                Semikolon, Zeichensatz UTF-8, Dezimalkomma.",
        " Diese Werte weitergeben ...:   Befehlszeile und Browser-Link, die diffundo",
        "                                mit Atomzahl, Zeichen-Modus und Tempo starten,",
        "                                in die Zwischenablage.",
        " ",
        " Langsamer / Schneller (Strg+- / Strg++):  1, 2, 5, 10, ... Schritte pro Sekunde",
        "                                bis zur vollen Geschwindigkeit (beim Start).",
        " Anhalten / Fortsetzen (Strg+Leertaste), Einzelschritt (Strg+Pfeil rechts).",
        " Tempo und Zahl der Schritte stehen in der Zeile unter dem Bild; schafft der",
        " Rechner ein Tempo nicht, steht dort auch, wie viele Schritte pro Sekunde er",
        " erreicht.",
        " Solange die rechte Maustaste gedrückt ist, steht die Simulation auch still.",
        " ",
        " Abstand zur Binomialverteilung (unter der Statistik): die Hälfte der Summe",
        " aller Beträge von (relative Häufigkeit - g(N,m)/2^N), also der Anteil, der",
        " verschoben werden müsste. Er schrumpft etwa wie 1/Wurzel(Zahl der Schritte),",
        " langsamer als bei unabhängigen Würfen: jeder Schritt ändert m nur um 1.",
        " ",
        " Verlauf zeigen:  statt der Atomzeilen zwei Kurven über den Schritten. Oben die",
        " Zahl der Atome im Kasten 2 (N - m), dazu rot die Mitte N/2 und weiß das Band",
        " N/2 ± Wurzel(N)/2 (eine Standardabweichung). Unten die Entropie ln g(N,m),",
        " rot ihr größter Wert ln g(N,N/2). Darauf achten: Am Anfang steigt die Zahl",
        " schnell von 0 an und mit ihr die Entropie. Danach schwankt sie um N/2 und",
        " bleibt meist im Band (bei vielen Atomen etwa 68 % der Schritte, der Anteil",
        " steht unter dem Bild), die Entropie bleibt dicht unter ihrem Maximum.",
        " Die Zeitachse: 20, 50, 100, 200, 500, 1000, ... Schritte; läuft die Kurve",
        " über das Ende, wird die Achse 2- bis 2,5-mal so lang und die Kurve schmaler,",
        " so bleibt immer der ganze Verlauf zu sehen. Eingeschaltet mitten in einem",
        " Lauf, beginnt die Kurve dort; von Anfang an: danach AUSGABE / Neue Eingabe.",
        " Noch einmal gewählt, kommen die Atomzeilen zurück.",
        " ",
        " Die Extras ändern nichts am Würfeln und an der Statistik. Sie wirken",
        " auch, während die Statistik wartet; jede gewöhnliche Taste setzt dort",
        " wie bisher fort.",
        " ",
    };
    std::string text;
    bool first = true;
    for (std::string_view line : lines) {
        if (!first) text += '|';
        text += line;
        first = false;
    }
    return text;
}

}  // namespace diffundo
