#include "orbilon_r_qt.h"

#include <QCloseEvent>
#include <QPalette>
#include <QPixmap>

#include "orbilon_b.h"
#include "preview_core.h"
#include "toolkit_qt.h"

Orbilon_R::Orbilon_R(platform::WindowId parent)
    : QWidget(nullptr), Img_Prev(this), parent_(parent) {
    setWindowTitle("Preview Window");
    setWindowFlag(Qt::FramelessWindowHint);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    Img_Prev.setGeometry(0, 0, 152, 112);
    Img_Prev.setPixmap(QPixmap(":/orbilon/preview.jpg"));
    Img_Prev.setScaledContents(true);
    // The pane's end reaches this process only as the loss of the parent window: X11 sends
    // nothing to a client whose window was destroyed along with a foreign parent.
    parentWatch_.setInterval(250);
    connect(&parentWatch_, &QTimer::timeout, this, [this] {
        if (!platform::WindowExists(parent_)) Unload();
    });
    parentWatch_.start();
}

void Orbilon_R::closeEvent(QCloseEvent* event) {
    event->accept();
    Unload();
}

void Orbilon_R::Unload() {
    // Once the preview form is gone no form remains, and the process ends.
    platform::EndProcess();
}

void PlacePreview(int32_t parentHandle) {
    const platform::WindowId parent = static_cast<uint32_t>(parentHandle);
    // A handle of no window would leave a process that nothing ends.
    const std::optional<platform::WindowRect> rect = platform::GetWindowRect(parent);
    if (parentHandle == 0 || !rect) platform::EndProcess();

    const double tx = platform::TwipsPerPixelX();
    const double ty = platform::TwipsPerPixelY();
    const int16_t widthTwips = orbilon::PixelsToTwips(rect->Width(), tx);
    const int16_t heightTwips = orbilon::PixelsToTwips(rect->Height(), ty);

    auto* form = new Orbilon_R(parent);  // lives until the process ends
    form->winId();
    if (!platform::WindowExists(parent) || !platform::SetParent(form, parent))
        platform::EndProcess();
    const int w = orbilon::TwipsToPixels(widthTwips, tx);
    const int h = orbilon::TwipsToPixels(heightTwips, ty);
    form->setGeometry(0, 0, w, h);
    form->Img_Prev.setGeometry(0, 0, w, h);
    form->show();
}
