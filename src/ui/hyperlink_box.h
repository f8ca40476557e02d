#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// A self-drawn link: its caption in blue, dark red once the last click opened
// the address, red while the mouse is over it (hover wins over visited).
// Screen readers meet it as a link named by its caption, described by its
// address, that they can press (it takes no keyboard focus).
class HyperlinkBox : public QWidget {
    Q_OBJECT
public:
    static constexpr QColor NormalColour{0, 0, 255};
    static constexpr QColor VisitedColour{128, 0, 0};
    static constexpr QColor HoverColour{255, 0, 0};

    explicit HyperlinkBox(QWidget* parent = nullptr);

    void setText(const QString& caption);
    [[nodiscard]] QString text() const { return caption_; }
    void setAddress(const QString& address) { address_ = address; }
    [[nodiscard]] QString address() const { return address_; }

    [[nodiscard]] bool isHovered() const { return hovered_; }
    [[nodiscard]] bool isVisited() const { return visited_; }
    [[nodiscard]] QColor textColour() const;

    // What a left click does: opens the address and marks the link visited when that worked.
    void activate();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void setHovered(bool hovered);
    // Asks the desktop to open the address; falls back to the registered web browser.
    [[nodiscard]] bool openAddress() const;

    QString caption_;
    QString address_;
    bool hovered_ = false;
    bool visited_ = false;
};
