// The preview form: the still of the art, placed inside the display settings' pane.
#pragma once

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "display_x11.h"

class Orbilon_R : public QWidget {
public:
    explicit Orbilon_R(platform::WindowId parent);

    QLabel Img_Prev;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Unload();

    platform::WindowId parent_;
    QTimer parentWatch_;
};
