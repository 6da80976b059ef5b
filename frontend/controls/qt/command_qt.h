// Command: the owner-drawn push button of the front end's forms. Its face (a vertical
// two-tone gradient inside a 4-pixel frame cut from one of six state pictures) is drawn
// into a persistent image of its own; the caption label sits on top.
//
// Host contract: create it, read its design data with ReadProperties (an empty bag gives
// the defaults), call Initialize once the form has loaded, and connect Click.
#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>
#include <cstdint>

#include "button_machine.h"
#include "design_data.h"

class QLabel;
class QTimer;

class Command : public QWidget {
    Q_OBJECT

public:
    explicit Command(QWidget* parent = nullptr);
    ~Command() override;

    // Arms the button and starts the 100 ms cursor poll.
    void Initialize();

    // Face opacity: 0 transparent (caption only), 255 opaque.
    uint8_t Visible();
    void SetVisible(uint8_t New_Visible);

    // The caption colour, &H00BBGGRR (or &H8000000x for a system colour).
    int32_t FontColour();
    void SetFontColour(int32_t New_FontColour);

    bool Enabled();
    void SetEnabled(bool New_Enabled);

    QString Caption() const;
    void SetCaption(const QString& New_Caption);

    QFont Font() const;
    void SetFont(const QFont& New_Font);

    // The property store of the host's design data.
    void ReadProperties(const orbilon::controls::PropertyBag& bag);
    void WriteProperties(orbilon::controls::PropertyBag& bag);

    // The persistent image the face is drawn into (what the window shows when opaque).
    const QImage& FaceImage() const { return face_; }
    uint8_t State() const { return m_.ButtonState; }

signals:
    void Click();
    // The host's design data for this control are dirty.
    void PropertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    using Picture = orbilon::controls::Picture;

    void PaintFace(Picture picture);
    void PaintGradient(QPainter& painter);
    void ApplyEnabled();
    void RefreshFace();
    void CursorLeft();
    void LayoutCaption();
    bool OwnFocusChange(const QFocusEvent* event);
    void PollCursor();
    void React(orbilon::controls::Reaction reaction);
    void ApplyCaptionColour();
    orbilon::controls::FontSpec AmbientFont() const;
    orbilon::controls::ButtonProperties CurrentProperties() const;

    orbilon::controls::ButtonMachine m_;  // IsEnabled, FirstRun, ButtonState, HoverShade,
                                          // MouseIsDown
    QLabel* LblMsg;
    QTimer* TmrMouse;
    QImage face_;
    int32_t fontColour_ = 0;
    bool opaque_ = true;
    bool focusAfterPress_ = false;
};
