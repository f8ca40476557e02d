#include "ui/hyperlink_box.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QUrl>

namespace {

class AccessibleHyperlinkBox : public QAccessibleWidget {
public:
    explicit AccessibleHyperlinkBox(HyperlinkBox* box) : QAccessibleWidget(box, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        const auto* box = static_cast<const HyperlinkBox*>(widget());
        switch (t) {
        case QAccessible::Name:
            // What is drawn: the caption, or the address when there is none.
            return box->text().isEmpty() ? box->address() : box->text();
        case QAccessible::Description:
            return box->address();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = true;
        s.traversed = static_cast<const HyperlinkBox*>(widget())->isVisited();
        return s;
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            static_cast<HyperlinkBox*>(widget())->activate();
    }
};

QAccessibleInterface* HyperlinkBoxAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("HyperlinkBox"))
        if (auto* box = qobject_cast<HyperlinkBox*>(object))
            return new AccessibleHyperlinkBox(box);
    return nullptr;
}

} // namespace

HyperlinkBox::HyperlinkBox(QWidget* parent) : QWidget(parent)
{
    QAccessible::installFactory(&HyperlinkBoxAccessible); // once: a factory already there is kept
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

void HyperlinkBox::setText(const QString& caption)
{
    caption_ = caption;
    update();
}

QColor HyperlinkBox::textColour() const
{
    if (hovered_)
        return HoverColour;
    return visited_ ? VisitedColour : NormalColour;
}

void HyperlinkBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.setPen(textColour());
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, caption_.isEmpty() ? address_ : caption_);
}

void HyperlinkBox::enterEvent(QEnterEvent*)
{
    setHovered(true);
}

void HyperlinkBox::leaveEvent(QEvent*)
{
    setHovered(false);
}

void HyperlinkBox::mouseMoveEvent(QMouseEvent* event)
{
    // While hovered the box holds the mouse, so it sees the move that leaves it
    // even when the pointer jumps straight out of the window.
    setHovered(rect().contains(event->position().toPoint()));
}

void HyperlinkBox::setHovered(bool hovered)
{
    if (hovered == hovered_)
        return;
    hovered_ = hovered;
    if (hovered_)
        grabMouse();
    else
        releaseMouse();
    update();
}

void HyperlinkBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    activate();
}

void HyperlinkBox::activate()
{
    visited_ = openAddress();
    update();
}

bool HyperlinkBox::openAddress() const
{
    const QUrl url = QUrl::fromUserInput(address_);
    if (QDesktopServices::openUrl(url))
        return true;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return QProcess::startDetached(QStringLiteral("x-www-browser"), {url.toString()});
#else
    return false;
#endif
}
