#include "ui/main_window.h"

#include "ui/hyperlink_box.h"
#include "ui/whole_number_edit.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <variant>
#include <vector>

QString HomepageAddress(); // ui/homepage.cpp

namespace {

// Where a row's widget is kept: the member it fills (or none), and so its kind.
using ControlSlot = std::variant<QLabel**, QLineEdit**, WholeNumberEdit**, QPushButton**, QGroupBox**,
                                 HyperlinkBox**, QTimer**, std::monostate>;

struct ControlRow {
    const char16_t* name;
    ControlSlot slot;
    const char16_t* parent; // nullptr: the window itself
    int x, y, width, height;
    const char16_t* text;
};

constexpr QLabel** NoMember = nullptr;

} // namespace

// The window as designed, one row a control, in stacking order: a row lies
// above the rows after it where they overlap. Group-box children are placed
// inside their group box. Components without a widget keep their row for the record.
void MainWindow::BuildControls()
{
    const ControlRow rows[] = {
        // name          member               parent      x    y    w    h   text
        {u"超级链接框1", &homepageLink_,      nullptr,   308, 176,  72,  24, u"官方网站"},
        {u"标签9",       NoMember,            nullptr,   200, 198, 175,  16, u"出品：Zembrot 项目"},
        {u"时钟1",       &positionTimer_,     nullptr,   384, 144,  26,  26, nullptr},
        {u"标签8",       NoMember,            u"分组框2", 304,  40,  32,  24, u"秒"},
        {u"编辑框3",     &endBox_,            u"分组框2", 254,  37,  48,  20, u""},
        {u"标签7",       NoMember,            u"分组框2", 168,  40,  88,  20, u"待剪切结束时间"},
        {u"标签6",       NoMember,            u"分组框2", 147,  40,  24,  20, u"秒"},
        {u"编辑框2",     &startBox_,          u"分组框2",  94,  37,  48,  20, u""},
        {u"标签5",       NoMember,            u"分组框2",   8,  38, 120,  20, u"待剪切起始时间"},
        {u"标签4",       &positionLabel_,     u"分组框2",   8,  16,  88,  20, u"当前:"},
        {u"媒体播放1",   std::monostate{},    nullptr,   384, 192,  26,  26, nullptr}, // playbackDevice_
        {u"按钮6",       &pauseButton_,       nullptr,    64, 144,  56,  24, u"暂停"},
        {u"按钮5",       &stopButton_,        nullptr,   120, 144,  56,  24, u"停止"},
        {u"按钮4",       &playPartButton_,    nullptr,   176, 144,  80,  24, u"播放选择部分"},
        {u"按钮3",       &playButton_,        nullptr,     8, 144,  56,  24, u"播放"},
        {u"按钮1",       &saveButton_,        nullptr,   256, 144, 112,  24, u"保存新的mp3文件"},
        {u"标签2",       NoMember,            nullptr,     8, 170, 280,  20, u"待剪切mp3文件歌曲时间为:0秒"},
        {u"标签1",       &totalTimeLabel_,    u"分组框2",   8,  57, 344,  20, u"歌曲总时间:0秒"},
        {u"分组框2",     static_cast<QGroupBox**>(nullptr), nullptr, 8, 48, 360, 80, u"请选择待剪切时间"},
        {u"按钮2",       &selectSongButton_,  u"分组框1", 280,  11,  72,  24, u"选择歌曲"},
        {u"编辑框1",     &songPathBox_,       u"分组框1",   8,  12, 264,  20, u""},
        {u"分组框1",     static_cast<QGroupBox**>(nullptr), nullptr, 8, 0, 360, 40, u""},
        {u"通用对话框1", std::monostate{},    nullptr,   328, 112,  26,  26, nullptr}, // songFileDialog_
    };

    // Every control starts as a child of the window; group-box children move in afterwards.
    std::vector<std::pair<const ControlRow*, QWidget*>> created;
    for (const ControlRow& row : rows) {
        const QString name = QString::fromUtf16(row.name);
        const QString text = row.text ? QString::fromUtf16(row.text) : QString();
        QWidget* widget = std::visit(
            [&](auto slot) -> QWidget* {
                using Slot = decltype(slot);
                if constexpr (std::is_same_v<Slot, std::monostate>) {
                    return nullptr;
                } else if constexpr (std::is_same_v<Slot, QTimer**>) {
                    *slot = new QTimer(this);
                    (*slot)->setObjectName(name);
                    return nullptr;
                } else {
                    using Widget = std::remove_pointer_t<std::remove_pointer_t<Slot>>;
                    auto* w = new Widget(this);
                    if constexpr (std::is_same_v<Widget, QGroupBox>)
                        w->setTitle(text);
                    else
                        w->setText(text);
                    if (slot)
                        *slot = w;
                    return w;
                }
            },
            row.slot);
        if (widget) {
            widget->setObjectName(name);
            created.emplace_back(&row, widget);
        }
    }
    for (auto& [row, widget] : created) {
        if (row->parent) {
            auto* group = findChild<QGroupBox*>(QString::fromUtf16(row->parent), Qt::FindDirectChildrenOnly);
            widget->setParent(group);
        }
        widget->setGeometry(row->x, row->y, row->width, row->height);
    }
    // Stacking: lowering each in turn leaves the first row on top.
    for (auto& [row, widget] : created)
        widget->lower();
    for (auto& [row, widget] : created)
        widget->show();
}

MainWindow::MainWindow()
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Zembrot"));
    setWindowIcon(QIcon(QStringLiteral(":/zembrot.svg")));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    // The button-face colour behind everything; labels fill their whole rectangle with it.
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    face.setColor(QPalette::WindowText, Qt::black);
    setPalette(face);
    setAutoFillBackground(true);

    QFont guiFont = QGuiApplication::font();
    guiFont.setPixelSize(12);
    setFont(guiFont);

    BuildControls();

    for (QLabel* label : findChildren<QLabel*>()) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setWordWrap(false);
        label->setAutoFillBackground(true);
        label->setTextFormat(Qt::PlainText);
    }
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
        button->installEventFilter(this);
    }
    songPathBox_->setReadOnly(true);
    homepageLink_->setAddress(HomepageAddress());

    setTabOrder(songPathBox_, selectSongButton_);
    setTabOrder(selectSongButton_, saveButton_);
    setTabOrder(saveButton_, playButton_);
    setTabOrder(playButton_, playPartButton_);
    setTabOrder(playPartButton_, stopButton_);
    setTabOrder(stopButton_, pauseButton_);
    setTabOrder(pauseButton_, startBox_);
    setTabOrder(startBox_, endBox_);
    songPathBox_->setFocus();
    DescribeForAssistiveTechnology();

    // 按钮4 keeps no handler: it does nothing.
    connect(saveButton_, &QPushButton::clicked, this, &MainWindow::OnSaveCutClick);
    connect(selectSongButton_, &QPushButton::clicked, this, &MainWindow::OnSelectSongClick);
    connect(playButton_, &QPushButton::clicked, this, &MainWindow::OnPlayClick);
    connect(stopButton_, &QPushButton::clicked, this, &MainWindow::OnStopClick);
    connect(pauseButton_, &QPushButton::clicked, this, &MainWindow::OnPauseClick);
    connect(positionTimer_, &QTimer::timeout, this, &MainWindow::OnPositionTimer);
    positionTimer_->start(PositionTimerPeriodMs);

    FitOuterFrame();
}

MainWindow::~MainWindow() = default;

void MainWindow::DescribeForAssistiveTechnology()
{
    // Buttons, labels and group boxes speak their captions; the link box has its own interface.
    songPathBox_->setAccessibleName(QStringLiteral(u"歌曲路径"));
    // Each time box is named by the caption before it (the label's buddy, so screen
    // readers also see the label as its label) and described by the unit after it.
    const std::pair<WholeNumberEdit*, std::pair<const char16_t*, const char16_t*>> timeBoxes[] = {
        {startBox_, {u"标签5", u"标签6"}},
        {endBox_, {u"标签7", u"标签8"}},
    };
    for (const auto& [box, labels] : timeBoxes) {
        findChild<QLabel*>(QString::fromUtf16(labels.first))->setBuddy(box);
        box->setAccessibleDescription(findChild<QLabel*>(QString::fromUtf16(labels.second))->text());
    }
}

bool MainWindow::CreateAndShow(std::unique_ptr<MainWindow>& window)
{
    try {
        window = std::make_unique<MainWindow>();
    } catch (const std::bad_alloc&) {
        return false;
    }
    window->show();
    return true;
}

void MainWindow::FitOuterFrame()
{
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    if (frame == appliedFrame_)
        return;
    appliedFrame_ = frame;
    setFixedSize(OuterWidth - frame.left() - frame.right(), OuterHeight - frame.top() - frame.bottom());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - OuterWidth) / 2, area.y() + (area.height() - OuterHeight) / 2);
    }
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FitOuterFrame();
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // The window manager reports its frame only once it has framed the window.
    FitOuterFrame();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (enter && mods == Qt::NoModifier) {
            // Held down, the key clicks once, as Space does.
            if (!key->isAutoRepeat())
                static_cast<QPushButton*>(watched)->animateClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    constexpr Qt::KeyboardModifiers held = Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier;
    if (event->key() == Qt::Key_Escape && !(event->modifiers() & held)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Nothing refuses the close: what goes with the window starts at once,
    // while every control still exists.
    if (!destroying_) {
        destroying_ = true;
        OnMainWindowDestroying();
        positionTimer_->stop();
    }
    event->accept();
}
