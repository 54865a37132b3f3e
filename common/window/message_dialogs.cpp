#include "common/window/message_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace rt {

namespace {

QString lines_of(const std::string& text) {
    QStringList lines;
    for (const std::string& line : split_at_bars(text)) lines << QString::fromStdString(line);
    return lines.join(QLatin1Char('\n'));
}

QFont fixed_pitch_font() {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(std::max(10.0, QApplication::font().pointSizeF()));
    return font;
}

QRect available_area(const QWidget* parent) {
    const QScreen* screen = parent != nullptr && parent->isVisible() ? parent->screen() : QApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// Escape and the box's close button answer with the last button, as a press of it would.
class MessageDialog : public QDialog {
public:
    MessageDialog(QWidget* parent, int button_count) : QDialog(parent), button_count_(button_count) {}
    void reject() override { done(button_count_); }

private:
    int button_count_;
};

QLabel* icon_for(int style, const QStyle* look) {
    if (style == box_author) return nullptr;
    const QStyle::StandardPixmap kind =
        style == box_question ? QStyle::SP_MessageBoxQuestion : QStyle::SP_MessageBoxInformation;
    const int extent = look->pixelMetric(QStyle::PM_MessageBoxIconSize);
    auto* label = new QLabel;
    label->setPixmap(look->standardIcon(kind).pixmap(extent, extent));
    label->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return label;
}

// Room for the text of a box on the screen: the rest is icon, margins, frame.
QSize text_room(const QRect& area) { return QSize(area.width() * 9 / 10 - 80, area.height() * 3 / 4 - 80); }

// Help pages have lines of about 100 characters that must not be cut: on a
// narrow screen the font shrinks a little before a scroll bar appears.
QFont font_fitting(QFont font, const QString& lines, int width) {
    constexpr double smallest_point_size = 7.0;
    while (font.pointSizeF() > smallest_point_size &&
           QFontMetrics(font).boundingRect(QRect(), Qt::TextExpandTabs, lines).width() > width)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

// The text at its natural size, scrolled only when the screen is too small.
QScrollArea* scrolled_text(QLabel* text, const QSize& room, const QStyle* look) {
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(text);
    const QSize natural = text->sizeHint();
    const int bar = look->pixelMetric(QStyle::PM_ScrollBarExtent);
    int width = natural.width();
    int height = natural.height();
    if (height > room.height()) {
        height = room.height();
        width += bar;
    }
    if (width > room.width()) {
        width = room.width();
        height = std::min(height + bar, room.height() + bar);
    }
    // The box is not meant to be resized: the text area is exactly the text.
    scroll->setFixedSize(width, height);
    return scroll;
}

QString shown_caption(const QString& caption) {
    const QString trimmed = caption.trimmed();
    return trimmed.isEmpty() ? caption : trimmed;
}

}  // namespace

int show_message_box(QWidget* parent, const QString& caption, int style, const std::string& text, int default_button,
                     const std::string& captions, const BoxWait& wait) {
    std::vector<std::string> button_texts = split_at_bars(captions);
    if (captions.empty()) button_texts = {"OK"};
    const int count = static_cast<int>(button_texts.size());

    MessageDialog box(parent, count);
    box.setWindowTitle(caption);
    const QStyle* look = box.style();

    auto* body = new QHBoxLayout;
    if (QLabel* icon = icon_for(style, look)) body->addWidget(icon, 0, Qt::AlignTop);
    const QString lines = lines_of(text);
    const QSize room = text_room(available_area(parent));
    auto* label = new QLabel(lines);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font_fitting(fixed_pitch_font(), lines, room.width()));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    body->addWidget(scrolled_text(label, room, look));
    body->addStretch(1);  // a box wider than its text (many buttons) keeps the text at the left

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    std::vector<QPushButton*> pushes;
    for (int i = 0; i < count; ++i) {
        auto* push = new QPushButton(shown_caption(QString::fromStdString(button_texts[static_cast<std::size_t>(i)])));
        push->setAutoDefault(true);
        QObject::connect(push, &QPushButton::clicked, &box, [&box, i] { box.done(i + 1); });
        buttons->addWidget(push);
        pushes.push_back(push);
    }
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(&box);
    layout->addLayout(body, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    QPushButton* preselected = pushes[static_cast<std::size_t>(effective_default_button(default_button, count) - 1)];
    preselected->setDefault(true);
    preselected->setFocus();
    return wait(box);
}

std::optional<std::string> show_input_box(QWidget* parent, const QString& caption, const std::string& prompt,
                                          const std::string& hint, const std::string& text, const BoxWait& wait) {
    QDialog box(parent);
    box.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&box);

    auto* question = new QLabel(lines_of(prompt));
    question->setTextFormat(Qt::PlainText);
    layout->addWidget(question);
    if (!hint.empty()) {
        auto* explanation = new QLabel(lines_of(hint));
        explanation->setTextFormat(Qt::PlainText);
        QFont aside = explanation->font();
        aside.setItalic(true);  // it explains; the question is the prompt
        explanation->setFont(aside);
        layout->addWidget(explanation);
    }

    auto* field = new QLineEdit(QString::fromStdString(text));
    field->setMinimumWidth(360);
    field->selectAll();
    layout->addWidget(field);

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    field->setFocus();
    if (wait(box) != QDialog::Accepted) return std::nullopt;
    return field->text().toStdString();
}

}  // namespace rt
