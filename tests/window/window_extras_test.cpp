// The EXTRAS menu in the real window, on the offscreen platform: the keys,
// the desktop's save and print dialogs (answered by a timer, as a user
// would), the clipboard, full screen, and the remembered projector colours.

#include "common/desktop_output/qt_pixels.h"
#include "common/runtime/projector_palette.h"
#include "common/runtime/projector_picture.h"
#include "common/runtime/surface.h"
#include "common/screens/menu_list.h"
#include "common/window/window_runtime.h"
#include "disk_full.h"
#include "pdf_reading.h"
#include "window_waits.h"

#include <gtest/gtest.h>

#include <QAbstractPrintDialog>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

void ensure_application() {
    static int argc = 1;
    static char name[] = "kalorix";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance()) return;
    // Settings go to a test folder, not into the user's.
    QStandardPaths::setTestModeEnabled(true);
    new QApplication(argc, argv);
}

using test_support::keep_going_until;
using test_support::shown_box;
using test_support::when_box_shows;

std::string read_file(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class WindowExtras : public ::testing::Test {
protected:
    void SetUp() override {
        ensure_application();
        runtime = std::make_unique<rt::WindowRuntime>();
        runtime->set_projector_colours(false);
        runtime->set_picture_folder(folder.path());
        runtime->set_menu_handler([this](int index) { delivered.push_back(index); });
        runtime->install_menu(common::menu_entries_from_list(
            common::joined({{"AUSGABE |", "&Weiter", "*", ""}, common::extras_menu(), {"ende"}}), 81));
        runtime->open_window();
        runtime->set_background_colour(rt::colours::background);
        runtime->clear_screen();
        runtime->set_colour(rt::colours::yellow);
        runtime->line(10, 10, 500, 300);
    }
    void TearDown() override {
        if (runtime) runtime->set_projector_colours(false);
    }

    QAction* extra(const QString& text) const {
        for (QAction* title : runtime->main_window()->menuBar()->actions())
            if (title->text() == "EXTRAS")
                for (QAction* entry : title->menu()->actions())
                    if (entry->text() == text) return entry;
        return nullptr;
    }
    QWidget* view() const { return runtime->main_window()->centralWidget(); }
    // Polls as a waiting continue prompt does, until `done`.
    bool poll_until(const std::function<bool()>& done) {
        return keep_going_until([&] { last_key = runtime->key_query(); }, done);
    }

    QTemporaryDir folder;
    std::unique_ptr<rt::WindowRuntime> runtime;
    std::vector<int> delivered;
    std::string last_key;
};

TEST_F(WindowExtras, EntriesHaveDesktopKeysWhichLeaveOrdinaryKeysToThePrompt) {
    struct Row {
        const char* entry;
        QKeySequence key;
        bool checkable;
    };
    const Row rows[] = {
        {"Bild &speichern ...", QKeySequence("Ctrl+S"), false},
        {"Bild &drucken ...", QKeySequence("Ctrl+P"), false},
        {"Bild &kopieren", QKeySequence("Ctrl+C"), false},
        {"&Vollbild", QKeySequence(Qt::Key_F11), true},
        {"&Beamer-Farben", QKeySequence(), true},
        {"&Hilfe zu den Extras", QKeySequence(), false},
    };
    for (const Row& row : rows) {
        QAction* action = extra(row.entry);
        ASSERT_NE(action, nullptr) << row.entry;
        EXPECT_EQ(action->shortcut(), row.key) << row.entry;
        EXPECT_EQ(action->isCheckable(), row.checkable) << row.entry;
    }

    QApplication::clipboard()->clear();
    runtime->main_window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(runtime->main_window())) << "shortcuts need the active window";
    view()->setFocus();
    QTest::keyClick(view(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(poll_until([] { return !QApplication::clipboard()->image().isNull(); })) << "Ctrl+C copies";
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              rt::as_qimage(runtime->surface().image()));
    EXPECT_EQ(last_key, "") << "and is no key for the prompt";

    QTest::keyClick(view(), Qt::Key_S, Qt::NoModifier, 5);
    ASSERT_TRUE(poll_until([&] { return !last_key.empty(); }));
    EXPECT_EQ(last_key, "s") << "an ordinary key still reaches the prompt";
    EXPECT_TRUE(delivered.empty()) << "extras never reach the program";
}

TEST_F(WindowExtras, PassingOnValuesShowsThemAndPutsBothLinesOnTheClipboard) {
    QApplication::clipboard()->clear();
    runtime->set_passing_on([] {
        return rt::PassedOnValues{"kalorix --werte 300,700", "https://schule.example/kalorix.html#werte=300,700"};
    });
    QString message;
    when_box_shows([&](QDialog* box) {
        for (QLabel* label : box->findChildren<QLabel*>()) message += label->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    extra("Diese &Werte weitergeben ...")->trigger();
    ASSERT_TRUE(poll_until([&] { return !message.isEmpty(); }));
    EXPECT_EQ(QApplication::clipboard()->text(),
              "kalorix --werte 300,700\nhttps://schule.example/kalorix.html#werte=300,700\n");
    EXPECT_TRUE(message.contains("kalorix --werte 300,700")) << message.toStdString();
    EXPECT_TRUE(message.contains("https://schule.example/kalorix.html#werte=300,700")) << message.toStdString();
    EXPECT_TRUE(delivered.empty()) << "an extra, not a program entry";
}

TEST_F(WindowExtras, PictureServicesWorkWhileABoxWaitsAndActOnThePictureBehindIt) {
    QApplication::clipboard()->clear();
    QAction* program_entry = runtime->main_window()->menuBar()->actions().value(0)->menu()->actions().value(0);
    ASSERT_EQ(program_entry->text(), "&Weiter");
    bool program_entry_offered = true;
    bool copy_offered = false;
    when_box_shows([&](QDialog* box) {
        program_entry_offered = program_entry->isEnabled();
        copy_offered = extra("Bild &kopieren")->isEnabled();
        // Ctrl+C once the box is the active window, as a user's key reaches
        // it; answered once the copy is there, or after two seconds without it.
        auto* step = new QTimer(box);
        auto* waited = new QElapsedTimer;
        waited->start();
        QObject::connect(step, &QTimer::timeout, box, [box, step, waited, pressed = false]() mutable {
            const bool copied = !QApplication::clipboard()->image().isNull();
            if (!copied && waited->elapsed() < 2000) {
                if (!pressed && box->isActiveWindow()) {
                    pressed = true;
                    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
                }
                return;
            }
            step->stop();
            delete waited;
            QTest::keyClick(box, Qt::Key_Return);
        });
        step->start(5);
    });
    EXPECT_EQ(runtime->message_box(1, "Neue Eingabe?", 1, " OK "), 1);
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              rt::as_qimage(runtime->surface().image()))
        << "Ctrl+C in front of the box copies the picture behind it";
    EXPECT_FALSE(program_entry_offered) << "the program's entries wait for the box's answer";
    EXPECT_TRUE(copy_offered);
    EXPECT_TRUE(program_entry->isEnabled()) << "and are offered again after it";
    EXPECT_TRUE(delivered.empty());
}

TEST_F(WindowExtras, SaveWritesTheSurfaceWhereTheDialogSaysAndAFailedWriteOnlySaysSo) {
    QString proposed_folder, proposed_name, title;
    const QString file = folder.filePath("tafel.png");
    when_box_shows([&](QDialog* box) {
        auto* dialog = qobject_cast<QFileDialog*>(box);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        proposed_folder = dialog->directory().absolutePath();
        proposed_name = dialog->selectedFiles().value(0);
        dialog->selectFile(file);
        box->accept();
    });
    extra("Bild &speichern ...")->trigger();
    ASSERT_TRUE(poll_until([&] { return QFile::exists(file); }));
    EXPECT_EQ(title, "Bild speichern");
    EXPECT_EQ(proposed_folder, QDir(folder.path()).absolutePath());
    EXPECT_TRUE(QFileInfo(proposed_name)
                    .fileName()
                    .contains(QRegularExpression("^kalorix-\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d\\.png$")))
        << proposed_name.toStdString();
    EXPECT_EQ(QImage(file).convertToFormat(QImage::Format_RGB32), rt::as_qimage(runtime->surface().image()));

    // A folder that is a file: the write fails even for root.
    std::ofstream(folder.filePath("Ordner").toStdString()) << "kein Ordner";
    const QString unwritable = folder.filePath("Ordner/tafel.png");
    const QImage before = rt::as_qimage(runtime->surface().image()).copy();
    QString message;
    when_box_shows([&](QDialog* box) {
        auto* dialog = qobject_cast<QFileDialog*>(box);
        ASSERT_NE(dialog, nullptr);
        when_box_shows([&](QDialog* failure) {
            for (QLabel* label : failure->findChildren<QLabel*>()) message += label->text();
            QTest::keyClick(failure, Qt::Key_Return);
        });
        dialog->selectFile(unwritable);
        box->accept();
    });
    extra("Bild &speichern ...")->trigger();
    ASSERT_TRUE(poll_until([&] { return !message.isEmpty(); }));
    runtime->process_events();
    EXPECT_TRUE(message.contains("Das Bild wurde nicht gespeichert !")) << message.toStdString();
    EXPECT_TRUE(message.contains(unwritable)) << message.toStdString();
    EXPECT_EQ(rt::as_qimage(runtime->surface().image()), before);
    EXPECT_EQ(runtime->key_query(), "");
    EXPECT_TRUE(delivered.empty());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), (QStringList{"Ordner", "tafel.png"}));
}

TEST_F(WindowExtras, PrintingWithoutAPrinterGivesAOnePagePdfOfThePicture) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer would be proposed first";
    bool landscape = false;
    QString title;
    when_box_shows([&](QDialog* box) {
        auto* dialog = qobject_cast<QPrintDialog*>(box);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        landscape = dialog->printer()->pageLayout().orientation() == QPageLayout::Landscape;
        dialog->accept();
    });
    extra("Bild &drucken ...")->trigger();
    const auto pdfs = [&] { return QDir(folder.path()).entryList({"*.pdf"}, QDir::Files); };
    ASSERT_TRUE(poll_until([&] { return !pdfs().isEmpty(); }));
    EXPECT_EQ(title, "Bild drucken");
    EXPECT_TRUE(landscape);
    const std::string pdf = read_file(folder.filePath(pdfs().front()));
    EXPECT_EQ(test_support::pdf_pages(pdf), 1);
    EXPECT_EQ(test_support::pdf_image(pdf, 1024, 768),
              test_support::rgb_bytes(rt::as_qimage(runtime->surface().image())))
        << "the page shows the picture";
}

TEST_F(WindowExtras, PrintColoursArePrintedWithTheirCheckMarkAndTheScreenStays) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer would be proposed first";
    extra("Druck&farben")->trigger();
    runtime->process_events();
    EXPECT_TRUE(extra("Druck&farben")->isChecked());
    when_box_shows([](QDialog* box) { box->accept(); });
    extra("Bild &drucken ...")->trigger();
    const auto pdfs = [&] { return QDir(folder.path()).entryList({"*.pdf"}, QDir::Files); };
    ASSERT_TRUE(poll_until([&] { return !pdfs().isEmpty(); }));
    const QImage paper = rt::as_qimage(rt::in_print_colours(runtime->surface(), rt::Palette::normal)).copy();
    EXPECT_EQ(paper.pixel(800, 700), qRgb(255, 255, 255));
    EXPECT_EQ(test_support::pdf_image(read_file(folder.filePath(pdfs().front())), 1024, 768),
              test_support::rgb_bytes(paper));
    EXPECT_EQ(runtime->surface().image().pixel(800, 700), rt::to_qcolor(rt::colours::background).rgb())
        << "the screen keeps its colours";
}

// Printing into a file that cannot be written (a full disk, a name that leads
// to a device refusing it) says so and keeps the file that was there.
TEST_F(WindowExtras, AFailedPrintIntoAFileSaysSoAndKeepsTheOldFile) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer would be proposed first";
    for (const bool device : {false, true}) {
        SCOPED_TRACE(device ? "to /dev/full" : "on a full disk");
        QTemporaryDir into;
        runtime->set_picture_folder(into.path());
        QString file, message;
        when_box_shows([&](QDialog* box) {
            auto* dialog = qobject_cast<QPrintDialog*>(box);
            ASSERT_NE(dialog, nullptr);
            file = dialog->printer()->outputFileName();
            if (device)
                std::filesystem::create_symlink("/dev/full", file.toStdString());
            else
                std::ofstream(file.toStdString()) << "alt";
            when_box_shows([&](QDialog* failure) {
                for (QLabel* label : failure->findChildren<QLabel*>()) message += label->text();
                QTest::keyClick(failure, Qt::Key_Return);
            });
            dialog->accept();
        });
        const test_support::DiskFullAfter full(100);
        extra("Bild &drucken ...")->trigger();
        ASSERT_TRUE(poll_until([&] { return !message.isEmpty(); }));
        EXPECT_TRUE(message.contains("Das Bild wurde nicht gedruckt !")) << message.toStdString();
        EXPECT_TRUE(message.contains(file)) << message.toStdString();
        if (!device) {
            EXPECT_EQ(read_file(file), "alt");
        }
        EXPECT_EQ(QDir(into.path()).entryList(QDir::Files | QDir::System | QDir::Hidden),
                  QStringList{QFileInfo(file).fileName()});
    }
}

// A program's entry shows the check mark the program sets. A click, whose
// mark Qt would turn over, reaches the program and leaves the mark as the
// program last set it.
TEST_F(WindowExtras, ProgramEntryShowsTheCheckMarkTheProgramSets) {
    QAction* entry = nullptr;
    for (QAction* title : runtime->main_window()->menuBar()->actions())
        if (title->text() == "AUSGABE") entry = title->menu()->actions().value(0);
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(entry->isCheckable()) << "a plain entry until the program checks it";
    entry->trigger();
    runtime->process_events();
    ASSERT_EQ(delivered.size(), 1u);
    const int index = delivered[0];

    for (const bool on : {true, false}) {
        runtime->set_menu_checked(index, on);
        EXPECT_TRUE(entry->isCheckable());
        EXPECT_EQ(entry->isChecked(), on);
        entry->trigger();
        EXPECT_EQ(entry->isChecked(), on) << "the program decides, not the click";
        runtime->process_events();
        EXPECT_EQ(delivered.back(), index);
    }
    EXPECT_EQ(delivered.size(), 3u);
}

TEST_F(WindowExtras, FullScreenKeepsTheMenuAndGivesTheWindowBack) {
    const QSize before = runtime->main_window()->size();
    runtime->show_status("Statuszeile");
    const auto status_size = [&] {
        return QFontInfo(runtime->main_window()->statusBar()->findChild<QLabel*>()->font()).pixelSize();
    };
    const int status_before = status_size();
    extra("&Vollbild")->trigger();
    runtime->process_events();
    EXPECT_TRUE(runtime->main_window()->isFullScreen());
    EXPECT_TRUE(extra("&Vollbild")->isChecked());
    EXPECT_TRUE(runtime->main_window()->menuBar()->isVisible()) << "the menu stays reachable";
    EXPECT_TRUE(
        keep_going_until([&] { runtime->process_events(); }, [&] { return runtime->main_window()->size() != before; }))
        << "the window grows to the screen";
    EXPECT_GT(status_size(), status_before) << "the status line grows with the picture";

    extra("&Vollbild")->trigger();
    runtime->process_events();
    EXPECT_FALSE(runtime->main_window()->isFullScreen());
    EXPECT_FALSE(extra("&Vollbild")->isChecked());
    EXPECT_TRUE(
        keep_going_until([&] { runtime->process_events(); }, [&] { return runtime->main_window()->size() == before; }))
        << "the earlier size comes back";
}

TEST_F(WindowExtras, ProjectorColoursRecolourAtOnceAndAreRememberedForTheNextStart) {
    extra("&Beamer-Farben")->trigger();
    runtime->process_events();
    EXPECT_TRUE(runtime->projector_colours());
    EXPECT_TRUE(extra("&Beamer-Farben")->isChecked());
    EXPECT_EQ(runtime->surface().image().pixel(800, 700),
              rt::to_qcolor(rt::projector_colour(rt::colours::background)).rgb());
    const QStatusBar* status = runtime->main_window()->statusBar();
    EXPECT_TRUE(status->autoFillBackground());
    EXPECT_EQ(status->palette().color(QPalette::Window), rt::to_qcolor(rt::projector_colour(rt::colours::background)))
        << "the status line follows the palette";

    rt::WindowRuntime next_start;
    EXPECT_TRUE(next_start.projector_colours());
    extra("&Beamer-Farben")->trigger();
    runtime->process_events();
    EXPECT_FALSE(rt::WindowRuntime().projector_colours());
}

// A lock file that another computer left beside the settings (a home on the
// network) cannot be told alive or stale for 30 s: the switch shows at once
// all the same, and the choice is saved once the lock has gone.
TEST_F(WindowExtras, ALockFromAnotherComputerHoldsUpNeitherTheSwitchNorTheChoice) {
    const QString settings = QSettings("kalorix-diffundo", "kalorix-diffundo").fileName();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settings).path()));
    QFile lock(settings + ".lock");
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write("4242\nkalorix\nanderer-rechner\n");
    lock.close();

    QElapsedTimer clock;
    clock.start();
    extra("&Beamer-Farben")->trigger();
    runtime->process_events();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(runtime->projector_colours());
    EXPECT_TRUE(rt::WindowRuntime().projector_colours()) << "a window opened meanwhile has the choice";

    lock.remove();
    runtime.reset();
    EXPECT_TRUE(QString::fromStdString(read_file(settings)).contains("projector_colours=true"))
        << "saved when the window went";
}

}  // namespace
