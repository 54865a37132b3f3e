// The window's extras: the desktop's save and print dialogs, the clipboard,
// full screen and the remembered projector colours. They run from the
// runtime's polls, outside Qt's frames, like the program's menu actions.
// The check marks of the program's own entries are shown here, too.
#include "common/window/window_extras.h"

#include "common/desktop_output/qt_pixels.h"

#include "common/desktop_output/picture_output.h"
#include "common/runtime/atomic_file.h"
#include "common/runtime/surface.h"
#include "common/runtime/vector_state.h"
#include "common/window/main_window.h"
#include "common/window/window_runtime.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLockFile>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QStandardPaths>

#include <optional>

namespace rt {

namespace {

constexpr const char* settings_name = "kalorix-diffundo";
constexpr const char* projector_key = "projector_colours";

// QSettings waits for the lock beside the settings file until the lock is
// 30 s old whenever it cannot tell that its owner is gone, as with a lock
// another computer left in a home on the network; the window would stand
// still meanwhile. The lock is tried for a moment first.
constexpr int settings_lock_wait_ms = 200;
std::optional<bool> kept_projector_colours;

bool save_projector_colours(bool on) {
    QSettings settings(settings_name, settings_name);
    QLockFile lock(settings.fileName() + QStringLiteral(".lock"));
    // Taken by another: kept. Not to be made at all (no folder yet, none
    // allowed): QSettings finds that out without waiting.
    if (!lock.tryLock(settings_lock_wait_ms) && lock.error() == QLockFile::LockFailedError) return false;
    lock.unlock();
    settings.setValue(projector_key, on);
    settings.sync();
    return true;
}

}  // namespace

bool remembered_projector_colours() {
    if (kept_projector_colours) return *kept_projector_colours;
    return QSettings(settings_name, settings_name).value(projector_key, false).toBool();
}

void remember_projector_colours(bool on) {
    kept_projector_colours = on;
    if (save_projector_colours(on)) kept_projector_colours.reset();
}

void save_kept_settings() {
    if (kept_projector_colours) remember_projector_colours(*kept_projector_colours);
}

void WindowRuntime::add_extras_action(QAction* action, Extra extra) {
    for (const ExtraEntry& entry : extras_entries()) {
        if (entry.extra != extra) continue;
        if (*entry.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
        // Their keys work while a box of the program is in front too.
        action->setShortcutContext(Qt::ApplicationShortcut);
        action->setCheckable(entry.toggle);
    }
    if (extra == Extra::full_screen) full_screen_action_ = action;
    if (extra == Extra::projector_colours) projector_action_ = action;
    if (extra == Extra::print_colours) print_colours_action_ = action;
    extras_actions_.emplace_back(action);
    // Only queued here, like the program's entries; run at the next poll.
    QObject::connect(action, &QAction::triggered, window_.get(), [this, extra] { input_.extras.push_back(extra); });
}

void WindowRuntime::show_extras_state() {
    if (full_screen_action_) full_screen_action_->setChecked(window_->isFullScreen());
    if (projector_action_) projector_action_->setChecked(projector_colours());
    if (print_colours_action_) print_colours_action_->setChecked(print_colours());
}

// A program's entry becomes checkable when first checked. Qt turns a
// checkable entry's mark over on every click, whatever the program then
// decides; the mark is put back at once, and the program's decision sets it.
void WindowRuntime::menu_checked_changed(int index, bool checked) {
    const CleanVectorStateOnExit clean;  // after Qt's widget code
    for (QAction* action : window_->menuBar()->findChildren<QAction*>()) {
        bool program_entry = false;
        if (action->data().toInt(&program_entry) != index || !program_entry) continue;
        if (!action->isCheckable()) {
            action->setCheckable(true);
            QObject::connect(action, &QAction::triggered, action,
                             [this, index, action] { action->setChecked(menu_checked(index)); });
        }
        action->setChecked(checked);
    }
}

bool WindowRuntime::run_pending_extras() {
    // Not from inside an extra's own dialog: one save dialog at a time.
    if (input_.extras.empty() || extra_running_) return false;
    struct Running {
        bool& flag;
        explicit Running(bool& running) : flag(running) { flag = true; }
        ~Running() { flag = false; }
    };
    while (!input_.extras.empty()) {
        const Extra extra = input_.extras.front();
        input_.extras.pop_front();
        {
            const Running running(extra_running_);
            run_extra(extra);
        }
        show_extras_state();
        throw_if_closed();
    }
    return true;
}

QString WindowRuntime::picture_folder() const {
    if (!picture_folder_.isEmpty()) return picture_folder_;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return !pictures.isEmpty() && QDir(pictures).exists() ? pictures : QDir::homePath();
}

QString WindowRuntime::proposed_name(const QString& ending) const {
    return QCoreApplication::applicationName() + QLatin1Char('-') +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HH-mm")) + ending;
}

std::string WindowRuntime::output_file(Output what) {
    const bool picture = what == Output::picture;
    QFileDialog dialog(window_.get(), picture ? QStringLiteral("Bild speichern") : QStringLiteral("Daten speichern"),
                       picture_folder());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(picture ? QStringLiteral("PNG-Bilder (*.png)")
                                 : QStringLiteral("CSV-Dateien für Tabellen (*.csv)"));
    const QString suffix = picture ? QStringLiteral("png") : QStringLiteral("csv");
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(proposed_name(QLatin1Char('.') + suffix));
    if (wait_for_answer(dialog) != QDialog::Accepted) return {};
    return dialog.selectedFiles().value(0).toStdString();
}

bool WindowRuntime::write_picture(const std::string& file, const std::string& description,
                                  const ImageView& picture) {
    const std::optional<std::string> png = png_bytes(as_qimage(picture), description);
    return png && write_file_atomically(file, *png);
}

void WindowRuntime::print_picture(const ImageView& picture) {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setPageOrientation(QPageLayout::Landscape);
        printer_->setDocName(QCoreApplication::applicationName());
    }
    // Without a printer, or after printing into a file, a PDF file with a
    // fresh name is proposed, so a print never overwrites the last one.
    if (QPrinterInfo::availablePrinters().isEmpty() || !printer_->outputFileName().isEmpty())
        printer_->setOutputFileName(QDir(picture_folder()).filePath(proposed_name(QStringLiteral(".pdf"))));

    QPrintDialog dialog(printer_.get(), window_.get());
    dialog.setWindowTitle(QStringLiteral("Bild drucken"));
    if (wait_for_answer(dialog) != QDialog::Accepted) return;
    const QString file = printer_->outputFileName();
    if (!file.isEmpty()) {
        // Printed into a file: the PDF is made in memory and replaces an
        // older file only once it is all on the disk, as saving does.
        const std::optional<std::string> pdf =
            pdf_bytes(as_qimage(picture), printer_->docName().toStdString(), printer_->pageLayout(),
                      printer_->resolution());
        if (!pdf || !write_file_atomically(file.toStdString(), *pdf))
            message_box(box_message, unwritable_file_message("Das Bild wurde nicht gedruckt", file.toStdString()), 1,
                        " OK ");
        return;
    }
    QPainter painter;
    bool printed = painter.begin(printer_.get());
    if (printed) {
        paint_on_page(painter, as_qimage(picture));
        printed = painter.end();  // false when the job could not be handed on
    }
    if (!printed)
        message_box(box_message,
                    "Das Bild wurde nicht gedruckt !||Der Drucker|   " + printer_->printerName().toStdString() +
                        "|nimmt keinen Auftrag an.",
                    1, " OK ");
}

// A copy: the clipboard keeps the picture, the surface goes on drawing.
void WindowRuntime::copy_text(const std::string& text) { QGuiApplication::clipboard()->setText(QString::fromStdString(text)); }

void WindowRuntime::copy_picture() { QGuiApplication::clipboard()->setImage(as_qimage(surface().image()).copy()); }

void WindowRuntime::toggle_full_screen() {
    if (window_->isFullScreen()) {
        if (before_full_screen_ & Qt::WindowMaximized)
            window_->showMaximized();
        else
            window_->showNormal();
    } else {
        before_full_screen_ = window_->windowState();
        window_->showFullScreen();
    }
    window_->activateWindow();
}

void WindowRuntime::projector_colours_changed(bool on) {
    remember_projector_colours(on);
    style_status_line();
}

// The check mark follows in show_extras_state; nothing else shows it.
void WindowRuntime::print_colours_changed(bool) {}

}  // namespace rt
