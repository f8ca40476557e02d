// The transport through the real window against a small model of it: random
// sequences (fixed seed, printed) of 播放, 暂停 and 停止 clicks, position ticks,
// loads of the other song, and waits for the song's end, checked step by step.
// The songs are 0.5 s and 0.7 s long, so the end also comes on its own while
// the steps run; the model accepts it only once the song can have played out.
#include "support/ui_driver.h"
#include "ui/main_window.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <random>

using namespace ui_driver;
using Clock = std::chrono::steady_clock;

class TransportModelTest : public QObject {
    Q_OBJECT
private slots:
    void randomSequencesFollowTheModel();
};

void TransportModelTest::randomSequencesFollowTheModel()
{
    const QDir songs(qEnvironmentVariable("ZEMBROT_RELIABILITY_SONGS_DIR"));
    const QString names[2] = {songs.filePath(QStringLiteral("short44.mp3")), songs.filePath(QStringLiteral("short22.mp3"))};
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    PlaybackDevice& device = window.playbackDevice();
    auto* label = window.findChild<QLabel*>(QStringLiteral(u"标签4"));
    QVERIFY(label);
    auto click = [&](const char16_t* name) {
        QTest::mouseClick(window.findChild<QPushButton*>(QString::fromUtf16(name)), Qt::LeftButton);
    };

    const unsigned seed = 20240611;
    std::printf("transport model: seed %u\n", seed);
    std::mt19937 random(seed);

    enum class State { Unavailable, Stopped, Playing, Paused };
    State state = State::Unavailable;
    std::int32_t position = -1;        // last position seen
    std::int32_t length = 0;
    Clock::time_point playedFrom{};    // when playing last (re)started ...
    std::int32_t playedFromMs = 0;     // ... and from where
    int next = 0, ends = 0, loads = 0;
    // The pause freezes the position after the sound already handed to the
    // device: at most one buffer past what was last heard.
    bool justPaused = false;

    QCOMPARE(device.GetState(), PlaybackState::Unavailable);
    for (int step = 0; step < 3000; ++step) {
        const int roll = static_cast<int>(random() % 100);
        justPaused = false;
        const QString before = label->text();
        const char* action;
        if (state == State::Unavailable || roll < 2) {
            action = "load";
            const QString song = names[next++ % 2];
            WhenModalAppears([song](QWidget* modal) { AcceptFileDialog(modal, song); });
            click(u"按钮2");
            ++loads;
            state = State::Playing;
            length = device.GetLength();
            QVERIFY(length > 0);
            position = 0;
            playedFrom = Clock::now();
            playedFromMs = 0;
        } else if (roll < 30) {
            action = "play";
            const Clock::time_point at = Clock::now();
            click(u"按钮3");
            if (state == State::Stopped) {
                position = 0;
                playedFrom = at;
                playedFromMs = 0;
            } else if (state == State::Paused) {
                playedFrom = at;
                playedFromMs = position;
            }
            state = State::Playing;
        } else if (roll < 50) {
            action = "pause";
            click(u"按钮6");
            if (state == State::Playing) {
                state = State::Paused;
                justPaused = true;
            }
        } else if (roll < 65) {
            action = "stop";
            click(u"按钮5");
            state = State::Stopped;
            position = 0;
        } else if (roll < 99) {
            action = "tick";
            window.OnPositionTimer();
        } else {
            action = "wait for the end";
            if (state == State::Playing)
                QTRY_COMPARE_WITH_TIMEOUT(device.GetState(), PlaybackState::Stopped, 10000);
        }

        // What the device shows now, against the model.
        const PlaybackState seen = device.GetState();
        const std::int32_t now = device.GetPosition();
        const QByteArray where = QByteArray("step ") + QByteArray::number(step) + " (" + action + ")";
        QVERIFY2(now >= 0 && now <= length, where);
        if (state == State::Playing && seen == PlaybackState::Stopped) {
            // The end came: only after the rest of the song could have been heard.
            const auto played = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - playedFrom).count();
            QVERIFY2(played + 100 >= length - playedFromMs, where);
            QVERIFY2(now == length, where);
            state = State::Stopped;
            position = now;
            ++ends;
            continue;
        }
        switch (state) {
        case State::Unavailable: QVERIFY2(seen == PlaybackState::Unavailable, where); break;
        case State::Stopped:
            QVERIFY2(seen == PlaybackState::Stopped, where);
            QVERIFY2(now == position, where); // 0 after stop, the length after the end
            break;
        case State::Paused:
            QVERIFY2(seen == PlaybackState::Paused, where);
            QVERIFY2(justPaused ? now >= position : now == position, where);
            break;
        case State::Playing:
            QVERIFY2(seen == PlaybackState::Playing, where);
            QVERIFY2(now >= position, where); // never backwards while playing
            break;
        }
        if (state != State::Playing && std::string_view(action) == "tick")
            QVERIFY2(label->text() == before, where); // the label ticks only while playing
        position = now;
    }
    std::printf("transport model: 3000 steps, %d loads, %d ends\n", loads, ends);
    QVERIFY(ends > 0);
}

QTEST_MAIN(TransportModelTest)
#include "tst_transport_model.moc"
