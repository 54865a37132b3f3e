#include "common/window/surface_accessible.h"

#include "common/window/surface_view.h"

namespace rt {

namespace {

QAccessibleInterface* for_surface_view(const QString&, QObject* object) {
    auto* view = dynamic_cast<SurfaceView*>(object);
    if (view == nullptr) return nullptr;
    return new SurfaceAccessible(view, [view] { return view->description(); });
}

}  // namespace

SurfaceAccessible::SurfaceAccessible(SurfaceView* view, std::function<QString()> describe)
    : QAccessibleWidget(view, QAccessible::Graphic), describe_(std::move(describe)) {}

void SurfaceAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(for_surface_view);
        return true;
    }();
    (void)installed;
}

QString SurfaceAccessible::text(QAccessible::Text t) const {
    const auto* view = static_cast<const SurfaceView*>(widget());
    switch (t) {
    case QAccessible::Name: return view->announcement().isEmpty() ? QStringLiteral("Bild") : view->announcement();
    case QAccessible::Description:
    case QAccessible::Value: return describe_();
    default: return QAccessibleWidget::text(t);
    }
}

void* SurfaceAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString SurfaceAccessible::text(int start, int end) const { return describe_().mid(start, end - start); }

int SurfaceAccessible::characterCount() const { return static_cast<int>(describe_().size()); }

QString SurfaceAccessible::attributes(int offset, int* start, int* end) const {
    *start = *end = offset;
    return {};
}

}  // namespace rt
