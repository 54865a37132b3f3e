#include "kalorix/core/help_pages.h"

#include "common/runtime/message_text.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Pages = const std::vector<kalorix::HelpPage>& (*)();

struct ExpectedPage {
    const char* name;
    Pages pages;
    std::size_t index;
    std::string_view text;
};

// Full message texts, written out a second time on purpose: any slip in a
// blank, an umlaut or a bar shows up as a difference here.
const ExpectedPage expected_pages[] = {
    {"I1", kalorix::help_info_pages, 0,
     "  Zwei Räume A und B sind in thermischem Kontakt miteinander. "
     "|"
     "| A enthält Nmax_A Atome, darunter N_A anfänglich angeregte Atome (mit höherer Energie E)."
     "| B enthält Nmax_B Atome. Davon ist anfänglich keines angeregt."
     "| "
     "| Zufällig gibt jetzt eines der angeregten Atome nach dem anderen seine Energie E ab und"
     "| überträgt sie an ein anderes im Raum A oder B."
     "| "
     "| Die Gesamtzahl der angeregten Atome und die Gesamtenergie bleiben konstant."
     "| "
     "| Die Entropie misst die Häufigkeit der möglichen Verteilungen der angeregten Atome über beide Räume."
     "| "},
    {"I2", kalorix::help_info_pages, 1,
     " 'Theoretische Analyse':"
     "| "
     "| Nachdem die Entropie für alle möglichen Verteilungen der N_A angeregten Atome berechnet wurde,"
     "| wird die wahrscheinlichste Verteilung (ENTROPIE-MAXIMUM) ermittelt. Sie entspricht dem"
     "| thermischen Gleichgewicht."
     "| "
     "| Für sie wird angegeben, wieviele angeregte Atome in A und in B jetzt vorhanden"
     "| sind und welche Bruchteile der jeweils möglichen Zustände dann mit angeregten"
     "| Atomen in Raum A und Raum B besetzt sind."
     "| "
     "| Die Entropie misst die Häufigkeit der möglichen Verteilungen."
     "| "
     "| Zugleich werden die Temperaturen der beiden Teilsysteme angezeigt."
     "| "
     "| Energie fließt offenbar immer vom wärmeren zum kälteren System."
     "| "
     "| Was ergibt sich für die Temperaturen beider Teilsysteme beim Entropie-Maximum?"
     "| "},
    {"I3", kalorix::help_info_pages, 2,
     "  Entsprechende Fragestellung:"
     "| "
     "| Ein System besitzt 2 Zustände A und B, die mehrfach besetzt werden können."
     "| "
     "| A enthält Nmax_A Zustände (Plätze). Davon werden anfänglich N_A besetzt."
     "| B enthält Nmax_B Zustände (Plätze). Davon ist anfänglich keiner besetzt."
     "| "
     "| Zufällig wechselt jetzt einer der N_A   A-Zustände nach dem anderen in B-"
     "| Zustände über."
     "| "
     "| Es soll ermittelt werden, welche Besetzung am wahrscheinlichsten ist."
     "| "},
    {"I4", kalorix::help_info_pages, 3,
     " 'Experimentelle Analyse'   Variante 1:"
     "| "
     "| In A sind anfänglich N_A angeregte Atome, in Raum B keine."
     "| "
     "| N_A zufällig ausgewählte Atome in Raum A oder B verlieren ihre Energie und übertragen"
     "| sie an jeweils ein weiteres zufällig ausgewähltes Atom."
     "| "
     "| Entsprechend der entstandenen Verteilung der angeregten Atome über A und B werden die"
     "| zugehörigen Temperaturen und Teilchenzahlen in A und B dargestellt."
     "| "
     "| Bei häufiger Wiederholung des Versuchs streben beide Systeme A und B zum thermischen"
     "| Gleichgewicht. Der Ausgleichsvorgang der Temperatur wird auch graphisch dargestellt."
     "| "
     "| Zugleich werden die Fluktuationen (Schwankungen) der angeregten Atome in beiden Teil-"
     "| systemen sichtbar gemacht."
     "| "
     "| Energie fließt offenbar immer vom wärmeren zum kälteren System."
     "| "},
    {"I5", kalorix::help_info_pages, 4,
     " 'Experimentelle Analyse'   Variante 2:"
     "| "
     "| Hier ist anfänglich kein Atom in A angeregt (Wahl:  N_A = 0)."
     "| "
     "| Dann werden die Atome erst nach und nach angeregt bis zur vorgegebenen Maximalzahl n."
     "| "
     "| Auch dabei werden die Fluktuationen der angeregten Atome, Teilchenzahlen und Temperaturen"
     "| in A und B dargestellt."
     "| "
     "| Die Entropie misst die Häufigkeit der möglichen Verteilungen."
     "| "
     "| Was ergibt sich für die Temperaturen beider Teilsysteme beim Entropie-Maximum (thermischen"
     "| Gleichgewicht)?"
     "| "},
    {"E1", kalorix::help_entropy_pages, 0,
     "  ENTROPIE "
     "|"
     "| Die Entropie misst die Anzahl der Realisierungsmöglichkeiten für einen Makrozustand des Systems."
     "| "
     "| Das System A enthalte Nmax Atome, darunter N angeregte Atome (mit höherer Energie E)."
     "| Für die Zahl der möglichen Verteilungen ergibt sich:"
     "| "
     "|                  g(Nmax,N) =  Nmax!/ [ N! (Nmax-N)! ]"
     "| "
     "| Zur Anordnung von Nmax Atomen gibt es Nmax! = 1.2.3....Nmax Möglichkeiten. Für die Fra-"
     "| gestellung sind aber die n! Vertauschungen der angeregten Atome und die (Nmax-N)! Ver-"
     "| tauschungen der nicht angeregten Atome gleichwertig. Deswegen wird durch sie dividiert."
     "| "
     "| Die Entropie S ist nun definiert als   S(Nmax,N) = k log g(Nmax,N)."
     "| "
     "| Der natürliche Logarithmus bewirkt, dass die Gesamtentropie eines zusammengesetzten"
     "| sich als Summe der Teilentropien ergibt."
     "| "},
    {"T1", kalorix::help_temperature_pages, 0,
     "  TEMPERATUR"
     "|"
     "| Sie wird so definiert, dass plausible Eigenschaften erfüllt sind:"
     "| "
     "| - Sind 2 Systeme unterschiedlicher Temperatur in thermischem Kontakt, fließt Energie"
     "|   vom wärmeren zum kälteren System."
     "| - Im thermischen Gleichgewicht haben beide Teilsysteme gleiche Temperatur."
     "| - Die Temperatur eines Systems hängt nicht von seiner Größe ab."
     "| - Temperatur hat nur einen Sinn für ein System mit unterschiedlichen Energiezuständen."
     "| - Je höher die Temperatur umso mehr Atome sind im Mittel in einem angeregten Zustand."
     "| "
     "| Für ein System mit Nmax Teilchen, bei dem N die Energie E haben und Nmax - N die Energie 0,"
     "| ist eine geeignete Definition:"
     "| "
     "|                T = E/k 1/log [ (Nmax - N)/N]     mit der Boltzmann-Konstanten k."
     "| "
     "| Da in der Regel N < Nmax - N ist die Temperatur i.A. >0."
     "| "},
    {"T2", kalorix::help_temperature_pages, 1,
     "  TEMPERATUR (allgemeinere Definition 1)"
     "|"
     "| Die Temperatur misst den Anteil angeregter Zustände der Teilchen eines Systems im"
     "| thermischen Gleichgewicht. Allgemeinere Definition:"
     "| "
     "|            1/T = (dS/dU)    bei konstantem Volumen V, konstanter Teilchenzahl, ..."
     "| "
     "| Im Modellsystem entspricht die Ableitung nach der inneren Energie (bis auf das Vorzeichen)"
     "| der Ableitung nach der Zahl N der angeregten Atome, also der Steigung des N-S-Graphen."
     "| "
     "| Für beide Teilsysteme sind diese Steigungen beim thermischen Gleichgewicht entgegengesetzt"
     "| gleich, die Temperaturen also gleich. Die Steigung von S für das Gesamtsystem ist 0, wie es für"
     "| das Maximum sein muss."
     "| "
     "| Die Temperatur misst, wie sich die Entropie (die Zahl der erreichbaren Realisierungen"
     "| des Makrozustands) bei Zufuhr von U verändert."
     "| "},
    {"T3", kalorix::help_temperature_pages, 2,
     "  TEMPERATUR (allgemeinere Definition 2)"
     "| "
     "| Die Temperatur misst also, wie sich die Entropie (die Zahl der erreichbaren Realisierungs-"
     "| möglichkeiten) verändert, wenn dem System innere Energie zugeführt wird:"
     "| "
     "|                dS = dU/T    bzw.    dU = dS.T"
     "| "
     "| Am absoluten Temperaturnullpunkt verändert sich S sehr stark wegen schnell wachsender"
     "| Realisierungsmöglichkeiten."
     "| Bei höheren Temperaturen werden bei Zufuhr von S immer mehr Atome angeregt: -> starker Anstieg von U."
     "| "
     "| Wegen    T = E/k 1/log [ (Nmax - N) / N]  für unser Modellsystem"
     "| "
     "| kann bei Besetzungszahl-Inversion [ N > (Nmax - N) ] T auch negativ sein. T strebt gegen den absoluten"
     "| Temperaturnullpunkt, wenn die Zahl der angeregten Atome N -> 0."
     "| "},
    {"T4", kalorix::help_temperature_school_pages, 0,
     "  TEMPERATUR (allgemein 3)"
     "| "
     "| Die Temperatur ist ein Maß für den 'Wärmezustand' eines Systems."
     "| "
     "| "
     "| [ Die mittlere Energie eines Teilchens im Modellsystems bei der Temperatur T ist nämlich:"
     "| "
     "|            <E> = [ (Nmax - N).0 + N.E ]/ Nmax = N/Nmax E   , "
     "| "
     "| wenn von den Nmax Teilchen N im angeregten Zustand mit der Energie E sind. Im thermischen"
     "| Gleichgewicht sind die Temperaturen von Systemen in thermischem Kontakt gleich. ]"
     "| "
     "| Oder auch:"
     "| "
     "| Die Temperatur T misst, wie die Energie eines Systems im thermischen Gleichgewicht über"
     "| die Energie-Zustände des Mikrosystems verteilt ist."
     "| "},
    {"U1", kalorix::help_inner_energy_pages, 0,
     "  INNERE ENERGIE "
     "| "
     "| Das ist Energie, die nicht makroskopische Energie des Systems ist (nicht aus"
     "| geordneten Bewegungen stammt)."
     "| "
     "| Im Falle des Modell-Systems mit einer einzigen Anregungsenergie E entspricht sie"
     "| der mittleren Gesamtenergie der angeregten Atome:"
     "| "
     "|               U = N . E            wenn jedes angeregte Atom die Energie E hat"
     "| "
     "| Die innere Energie ist hier also proportional zur Zahl der angeregten Atome N."
     "| Löst man die Temperaturformel nach N auf, erhält man:"
     "| "
     "|   U = Nmax exp(-E/kT) / [ 1 +  exp(-E/kT) ]          mit dem Boltzmann-Faktor exp(-E/kT)"
     "| "
     "| Die mittlere Energie eines Teilchens ist dann: <E> =  exp(-E/kT) / [ 1 +  exp(-E/kT) ]"
     "| "},
    {"F1", kalorix::help_free_energy_pages, 0,
     "  (HELMHOLTZSCHE) FREIE ENERGIE F (manchmal auch A) "
     "|"
     "| Sie ist definiert durch               F = U - T.S "
     "| "
     "| Als Funktion von V und T ist sie die Grundlage für andere thermodynamische Größen."
     "| "
     "| So wie bei einem thermisch isolierten System der Gleichgewichtszustand der Zustand"
     "| maximaler Entropie ist, so ist bei einem mechanisch isolierten System bei konstanter"
     "| Temperatur das thermische Gleichgewicht erreicht, wenn die (Helmholtzsche)"
     "| Freie Energie minimal ist."
     "| "
     "| Bei einer isothermen Kompression durch äußere Arbeit bleibt die Innere Energie U konstant."
     "| Die äußere Arbeit ist dann vollständig als erhöhte Freie Energie im System vorhanden."
     "| "},
    {"G1", kalorix::help_equilibrium_pages, 0,
     "  Thermisches Gleichgewicht "
     "|"
     "| Es stellt sich nach langer Zeit ein, wenn zwei Systeme A und B miteinander in thermischem"
     "| Kontakt sind."
     "| "
     "| Es handelt sich um ein dynamisches Gleichgewicht, d.h. es haben sich stabile Mittelwerte "
     "| für thermodynamische Größen wie Teilchenzahl, Energie, Temperatur, Entropie, ... ausgebildet,"
     "| um die es starke Fluktuationen gibt, die im Programm nicht gezeigt werden."
     "| "
     "| Die Gesamt-Entropie misst die Anzahl der möglichen Realisierungen des Gleichgewichtszustands"
     "| mit der gleichmäßigen Verteilung der angeregten Atome über beide Räume. Zur Verteilung des"
     "| Entropiemaximums führen die weitaus meisten Realisierungs-Wege."
     "| Im thermischen Gleichgewicht ist die Entropie des Gesamtsystems deshalb maximal. Dann haben"
     "| beide Teilsysteme die gleiche Temperatur."
     "| "},
};

// The lines of a message box: "|" is the line break.
std::vector<std::string> box_lines(const std::string& text) { return rt::split_at_bars(text); }

TEST(KalorixHelpPages, EveryPageTextMatchesCharacterForCharacter) {
    for (const auto& page : expected_pages) {
        SCOPED_TRACE(page.name);
        const auto& pages = page.pages();
        ASSERT_LT(page.index, pages.size());
        const std::string actual = pages[page.index].text();
        // Line by line first, so a failure names the line that differs.
        const auto actual_lines = box_lines(actual);
        const auto expected_lines = box_lines(std::string(page.text));
        ASSERT_EQ(actual_lines.size(), expected_lines.size());
        for (std::size_t i = 0; i < expected_lines.size(); ++i) {
            EXPECT_EQ(actual_lines[i], expected_lines[i]) << "line " << i;
        }
        EXPECT_EQ(actual, page.text);
    }
}

TEST(KalorixHelpPages, PageCountsPerProcedure) {
    const std::pair<Pages, std::size_t> counts[] = {
        {kalorix::help_info_pages, 5},         {kalorix::help_entropy_pages, 1},
        {kalorix::help_temperature_pages, 3},  {kalorix::help_temperature_school_pages, 1},
        {kalorix::help_inner_energy_pages, 1}, {kalorix::help_free_energy_pages, 1},
        {kalorix::help_equilibrium_pages, 1},
    };
    std::size_t total = 0;
    for (const auto& [pages, count] : counts) {
        EXPECT_EQ(pages().size(), count);
        total += pages().size();
    }
    EXPECT_EQ(total, std::size(expected_pages));
}

TEST(KalorixHelpPages, PiecesAreLinesAndTitlesAreNot) {
    for (const auto& page : expected_pages) {
        SCOPED_TRACE(page.name);
        const auto& help = page.pages()[page.index];
        EXPECT_EQ(help.title.find('|'), std::string_view::npos);
        ASSERT_FALSE(help.pieces.empty());
        // The line under the title is either empty or a single blank.
        EXPECT_TRUE(help.pieces.front() == "|" || help.pieces.front() == "| ");
        for (std::string_view piece : help.pieces) {
            ASSERT_FALSE(piece.empty());
            EXPECT_EQ(piece.front(), '|') << piece;
            EXPECT_EQ(piece.find('|', 1), std::string_view::npos) << piece;
        }
    }
}

TEST(KalorixHelpPages, EntropyFormulaKeepsItsIndentation) {
    const auto& pieces = kalorix::help_entropy_pages().at(0).pieces;
    const std::string formula = "|" + std::string(18, ' ') + "g(Nmax,N) =  Nmax!/ [ N! (Nmax-N)! ]";
    ASSERT_GT(pieces.size(), 6u);
    EXPECT_EQ(pieces[6], formula);
    EXPECT_EQ(pieces[6].find_first_not_of(' ', 1), 19u);
}

TEST(KalorixHelpPages, TextsAreUtf8WithPrecomposedUmlauts) {
    // "ä" as the two bytes C3 A4, never a base letter plus a combining mark.
    const std::string text = kalorix::help_info_pages().at(0).text();
    EXPECT_NE(text.find("R\xC3\xA4ume"), std::string::npos);
    for (const auto& page : expected_pages) {
        const std::string t = page.pages()[page.index].text();
        EXPECT_EQ(t.find("\xCC\x88"), std::string::npos) << page.name;
    }
}

}  // namespace
