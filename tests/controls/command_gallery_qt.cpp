// Shows one Command button in each of its six looks (plus a transparent face and a wide
// button) on a real display, reads the window back from the X server and checks that each
// button's frame corner is its state picture's.
//
//     command_gallery [OUT.png] [--stay SECONDS]
#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <vector>

#include "command_qt.h"

namespace {

void Send(QWidget* w, QEvent::Type type, Qt::MouseButton button = Qt::NoButton) {
    const QPointF local(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent e(type, local, w->mapToGlobal(local), button,
                  type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Focus(QWidget* w) {
    QFocusEvent e(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(w, &e);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int stay = argc > 3 ? std::atoi(argv[3]) : 0;

    QWidget form;
    form.setWindowTitle(QStringLiteral("Command gallery"));
    form.setGeometry(0, 0, 420, 200);
    // The settings dialog's font, as its buttons get it from the form.
    QFont dialogFont(QString::fromUtf8("ＭＳ Ｐゴシック"));
    dialogFont.setPointSizeF(9.75);
    form.setFont(dialogFont);
    const char* looks[] = {"Normal",  "HighLight", "Pressed",
                           "Disable", "Selected",  "HighLightSelect"};
    std::vector<Command*> buttons;
    for (int i = 0; i < 6; ++i) {
        auto* b = new Command(&form);
        b->ReadProperties({});
        b->SetCaption(QString::fromLatin1(looks[i]));
        b->move(10 + (i % 3) * 135, 10 + (i / 3) * 45);
        buttons.push_back(b);
    }
    auto* clear = new Command(&form);
    clear->ReadProperties({});
    clear->SetCaption(QString::fromUtf8("透明 (Visible 0)"));
    clear->SetVisible(0);
    clear->move(10, 100);
    auto* wide = new Command(&form);
    wide->ReadProperties({});
    wide->SetCaption(QString::fromUtf8("参照... 幅の広いボタン"));
    wide->setGeometry(145, 100, 260, 40);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 1;

    buttons[0]->Initialize();
    buttons[1]->Initialize();
    QCursor::setPos(buttons[1]->mapToGlobal(QPoint(30, 14)));  // keeps the poll content
    Send(buttons[1], QEvent::MouseMove);
    Send(buttons[2], QEvent::MouseButtonPress, Qt::LeftButton);
    buttons[3]->SetEnabled(false);
    Focus(buttons[4]);
    Focus(buttons[5]);
    Send(buttons[5], QEvent::MouseMove);
    QTest::qWait(500);

    const QImage shot = form.screen()->grabWindow(form.winId()).toImage();
    if (!out.isEmpty()) {
        shot.save(out);
        // A magnified copy, to judge single pixels by eye.
        shot.scaled(shot.size() * 3)
            .save(QString(out).replace(QStringLiteral(".png"), QStringLiteral("-x3.png")));
    }
    int failures = 0;
    for (int i = 0; i < 6; ++i) {
        const QImage pic = QImage(QStringLiteral(":/controls/%1.bmp").arg(QLatin1String(looks[i])));
        const QPoint at = buttons[i]->pos();
        for (QPoint p : {QPoint(1, 1), QPoint(2, 3), QPoint(3, 2)}) {
            if (shot.pixelColor(at + p) != pic.pixelColor(p)) {
                std::fprintf(stderr, "%s: pixel (%d, %d) is %s, the picture has %s\n", looks[i],
                             p.x(), p.y(), qPrintable(shot.pixelColor(at + p).name()),
                             qPrintable(pic.pixelColor(p).name()));
                ++failures;
            }
        }
    }
    if (stay > 0) QTest::qWait(stay * 1000);
    return failures == 0 ? 0 : 1;
}
