// The Command widget on the offscreen platform: what its persistent image holds after each
// kind of event, and what its property store keeps.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <cstdlib>
#include <memory>

#include "command_qt.h"

namespace cc = orbilon::controls;

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "command_widget_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

QImage Picture(const char* name) {
    return QImage(QStringLiteral(":/controls/%1.bmp").arg(QLatin1String(name)))
        .convertToFormat(QImage::Format_RGB32);
}

// Whether the face's frame is the given picture: its 4 x 4 corners are copied unscaled.
bool FrameIs(const QImage& face, const char* name) {
    const QImage pic = Picture(name);
    if (pic.isNull()) return false;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            if (face.pixel(x, y) != pic.pixel(x, y)) return false;
            if (face.pixel(face.width() - 4 + x, face.height() - 4 + y) !=
                pic.pixel(60 + x, 21 + y))
                return false;
        }
    }
    return true;
}

class CommandWidget : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        host = std::make_unique<QWidget>();
        host->resize(300, 200);
        // Takes the focus the window hands out when it becomes active.
        sink = new QWidget(host.get());
        sink->setFocusPolicy(Qt::StrongFocus);
        sink->setGeometry(280, 180, 10, 10);
        button = new Command(host.get());
        button->move(20, 20);
        button->ReadProperties({});
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
    }

    void Focus(QEvent::Type type) {
        QFocusEvent e(type, Qt::TabFocusReason);
        QApplication::sendEvent(button, &e);
    }

    // Qt drops a move to where the pointer already is, and every test's button sits at the
    // same place, so each move first steps beside its target.
    void Move(QPoint p) {
        QTest::mouseMove(button, p + QPoint(1, 1));
        QTest::mouseMove(button, p);
    }

    const QImage& Face() const { return button->FaceImage(); }
    QRgb Inner(int y) const { return Face().pixel(Face().width() / 2, y); }

    std::unique_ptr<QWidget> host;
    QWidget* sink = nullptr;
    Command* button = nullptr;
};

TEST_F(CommandWidget, DesignedSizeAndCaption) {
    EXPECT_EQ(button->size(), QSize(117, 28));
    EXPECT_EQ(button->Caption(), "Command1");
    EXPECT_EQ(button->State(), 0);
    const QLabel* label = button->findChild<QLabel*>("LblMsg");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->geometry().topLeft(), QPoint(0, 7));
    EXPECT_EQ(label->width(), 117);
    EXPECT_GE(label->height(), 13);  // taller where the face's line needs it
    EXPECT_GE(label->height(), label->fontMetrics().height());
}

TEST_F(CommandWidget, EachStateShowsItsFramePicture) {
    button->Initialize();
    EXPECT_TRUE(FrameIs(Face(), "Normal"));
    Move(QPoint(50, 14));
    EXPECT_EQ(button->State(), 2);
    EXPECT_TRUE(FrameIs(Face(), "HighLight"));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(50, 14));
    QApplication::processEvents();
    EXPECT_EQ(button->State(), 4);  // the press brought the focus
    EXPECT_TRUE(FrameIs(Face(), "Pressed"));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(50, 14));
    EXPECT_TRUE(FrameIs(Face(), "HighLightSelect"));
    sink->setFocus();
    EXPECT_EQ(button->State(), 1);
    EXPECT_TRUE(FrameIs(Face(), "Normal"));
    button->setFocus();
    EXPECT_TRUE(FrameIs(Face(), "Selected"));
    Move(QPoint(60, 14));
    EXPECT_TRUE(FrameIs(Face(), "HighLightSelect"));
    button->SetEnabled(false);
    EXPECT_TRUE(FrameIs(Face(), "Disable"));
    EXPECT_FALSE(button->findChild<QLabel*>("LblMsg")->isEnabled());
}

// A press that does not move the focus leaves the button hovered: the release paints
// Normal and further moves paint nothing until the cursor has left.
TEST_F(CommandWidget, PressWithoutFocusInHover) {
    button->setFocusPolicy(Qt::NoFocus);
    button->Initialize();
    Move(QPoint(50, 14));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(50, 14));
    EXPECT_EQ(button->State(), 2);
    EXPECT_TRUE(FrameIs(Face(), "Normal"));
    Move(QPoint(55, 14));
    EXPECT_TRUE(FrameIs(Face(), "Normal"));

    QSignalSpy clicks(button, &Command::Click);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(50, 14));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-30, 14));  // backed out
    EXPECT_EQ(clicks.count(), 0);
}

// Tone at the top while hovered, white at the top otherwise; the rows between blend.
TEST_F(CommandWidget, GradientDirectionFollowsHover) {
    button->Initialize();
    const int h = Face().height();
    auto near = [](QRgb c, int r, int g, int b) {
        return std::abs(qRed(c) - r) <= 3 && std::abs(qGreen(c) - g) <= 3 &&
               std::abs(qBlue(c) - b) <= 3;
    };
    auto expected = [h](int y, int top, int bottom) { return top + (bottom - top) * y / (h - 1); };
    for (int y = 4; y < h - 4; ++y) {
        EXPECT_TRUE(
            near(Inner(y), expected(y, 255, 198), expected(y, 255, 197), expected(y, 255, 215)))
            << y;
    }
    Move(QPoint(50, 14));
    for (int y = 4; y < h - 4; ++y) {
        EXPECT_TRUE(
            near(Inner(y), expected(y, 198, 255), expected(y, 197, 255), expected(y, 215, 255)))
            << y;
    }
}

TEST_F(CommandWidget, ClicksAsTheTableSays) {
    button->setFocusPolicy(Qt::NoFocus);  // focus comes only from the events sent here
    QSignalSpy clicks(button, &Command::Click);
    button->Initialize();
    Move(QPoint(50, 14));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(50, 14));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseClick(button, Qt::RightButton, {}, QPoint(50, 14));
    EXPECT_EQ(clicks.count(), 2);

    // Focused without a move since: press and release do not click.
    Focus(QEvent::FocusIn);
    Focus(QEvent::FocusOut);
    Focus(QEvent::FocusIn);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(50, 14));
    EXPECT_EQ(clicks.count(), 2);

    button->SetEnabled(false);
    Move(QPoint(51, 14));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(51, 14));
    QTest::mouseClick(button, Qt::MiddleButton, {}, QPoint(51, 14));
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_TRUE(FrameIs(Face(), "Disable"));
}

// With the window active a press really moves the focus; the press is handled before the
// focus it brings, as the event table expects.
TEST_F(CommandWidget, PressThatBringsTheFocus) {
    sink->setFocus();
    host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
    QSignalSpy clicks(button, &Command::Click);
    button->Initialize();
    Move(QPoint(50, 14));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(50, 14));
    QApplication::processEvents();
    EXPECT_TRUE(button->hasFocus());
    EXPECT_EQ(button->State(), 4);
    EXPECT_TRUE(FrameIs(Face(), "Pressed"));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(50, 14));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(FrameIs(Face(), "HighLightSelect"));

    // An unarmed button pressed: Pressed, then the focus paints Selected; the release in
    // the focused state clicks nothing and leaves Selected showing.
    Command unarmed(host.get());
    unarmed.ReadProperties({});
    unarmed.move(20, 100);
    unarmed.show();
    QSignalSpy unarmedClicks(&unarmed, &Command::Click);
    QTest::mouseClick(&unarmed, Qt::LeftButton, {}, QPoint(40, 14));
    QApplication::processEvents();
    EXPECT_EQ(unarmed.State(), 3);
    EXPECT_TRUE(FrameIs(unarmed.FaceImage(), "Selected"));
    EXPECT_EQ(unarmedClicks.count(), 0);
    EXPECT_EQ(button->State(), 1);  // the focus left it
    EXPECT_TRUE(FrameIs(Face(), "Normal"));
}

// The first focus a window gives out on activation is a real arrival; the focus coming
// back after a window switch is not.
TEST_F(CommandWidget, WindowSwitchKeepsTheLook) {
    QWidget form;
    Command only(&form);
    only.ReadProperties({});
    only.Initialize();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ASSERT_TRUE(only.hasFocus());
    EXPECT_EQ(only.State(), 3);

    host->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
    EXPECT_EQ(only.State(), 3);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(only.State(), 3);
    EXPECT_TRUE(FrameIs(only.FaceImage(), "Selected"));
}

TEST_F(CommandWidget, ResizeRepaintsNormalAndKeepsTheState) {
    button->Initialize();
    Move(QPoint(50, 14));
    button->resize(150, 40);
    QApplication::processEvents();
    EXPECT_EQ(button->State(), 2);
    EXPECT_EQ(Face().size(), QSize(150, 40));
    EXPECT_TRUE(FrameIs(Face(), "Normal"));
}

TEST_F(CommandWidget, CursorPollNoticesTheCursorLeaving) {
    button->Initialize();
    QCursor::setPos(button->mapToGlobal(QPoint(50, 14)));
    Move(QPoint(50, 14));
    ASSERT_EQ(button->State(), 2);
    QTest::qWait(300);  // the caption over the cursor still counts as the button
    EXPECT_EQ(button->State(), 2);
    QCursor::setPos(host->mapToGlobal(QPoint(250, 150)));
    EXPECT_TRUE(QTest::qWaitFor([this] { return button->State() == 1; }, 10000));
    EXPECT_TRUE(FrameIs(Face(), "Normal"));
}

TEST_F(CommandWidget, TransparentFaceKeepsTheCaption) {
    host->setAutoFillBackground(true);
    QPalette pal = host->palette();
    pal.setColor(QPalette::Window, Qt::green);
    host->setPalette(pal);
    button->SetCaption("MMMMMMMM");
    button->SetVisible(0);
    EXPECT_EQ(button->Visible(), 0);
    const QImage shot = host->grab(button->geometry()).toImage();
    EXPECT_EQ(QColor(shot.pixel(1, 1)), QColor(Qt::green));   // no frame
    EXPECT_EQ(QColor(shot.pixel(58, 3)), QColor(Qt::green));  // no gradient
    int ink = 0;
    for (int y = 7; y < 20; ++y)
        for (int x = 0; x < shot.width(); ++x) ink += QColor(shot.pixel(x, y)) != QColor(Qt::green);
    EXPECT_GT(ink, 20);  // the caption is drawn

    button->SetVisible(1);
    const QImage opaque = host->grab(button->geometry()).toImage();
    EXPECT_NE(QColor(opaque.pixel(1, 1)), QColor(Qt::green));
}

TEST_F(CommandWidget, PropertyStoreRoundTrip) {
    button->SetCaption("Command");
    cc::PropertyBag bag;
    button->WriteProperties(bag);
    EXPECT_FALSE(bag.Get("caption"));

    Command other(host.get());
    other.ReadProperties(bag);
    EXPECT_EQ(other.Caption(), "Command1");

    // A stored font of another size and weight comes back with only its name.
    cc::PropertyBag fontBag;
    fontBag.Set("font", "DejaVu Serif;20;700;0;1;0;0");
    fontBag.Set("fontcolour", std::to_string(0x000000FF));
    other.ReadProperties(fontBag);
    EXPECT_EQ(other.Font().family(), "DejaVu Serif");
    EXPECT_DOUBLE_EQ(other.Font().pointSizeF(), 9.75);
    EXPECT_EQ(other.Font().weight(), QFont::Normal);
    EXPECT_FALSE(other.Font().italic());
    EXPECT_EQ(other.FontColour(), 0xFF);
    EXPECT_EQ(other.findChild<QLabel*>("LblMsg")->palette().color(QPalette::WindowText),
              QColor(255, 0, 0));
}

TEST_F(CommandWidget, BrandNewButtonEnablesOnFirstRead) {
    Command fresh(host.get());
    QSignalSpy changed(&fresh, &Command::PropertyChanged);
    EXPECT_TRUE(FrameIs(fresh.FaceImage(), "Disable"));
    EXPECT_TRUE(fresh.Enabled());
    EXPECT_TRUE(FrameIs(fresh.FaceImage(), "Normal"));
    fresh.SetEnabled(false);
    EXPECT_FALSE(fresh.Enabled());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), "Enabled");
}

TEST_F(CommandWidget, OversizeButtonDrawsWhatFits) {
    button->resize(2500, 60);  // 37500 twips: the right-hand pieces overflow
    QApplication::processEvents();
    const QImage& face = Face();
    ASSERT_EQ(face.width(), 2500);
    const QImage normal = Picture("Normal");
    EXPECT_EQ(face.pixel(1, 1), normal.pixel(1, 1));
    EXPECT_NE(face.pixel(2498, 30), normal.pixel(62, 12));  // no right edge
}

}  // namespace
