#include "command_qt.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "face_geometry.h"
#include "toolkit_qt.h"

namespace cc = orbilon::controls;

// Outside any namespace, as resource initialisers must be; the pictures live in a static
// library whose resource object the linker would otherwise drop.
static void InitPictures() {
    Q_INIT_RESOURCE(command_pictures);
}

namespace {

// The design font; the platform substitutes a metric-compatible face for it.
const QString kDesignFont = QString::fromUtf8("ＭＳ Ｐゴシック");
constexpr double kDesignFontPoints = 9.75;
constexpr int32_t kDesignWidth = 1755, kDesignHeight = 420;  // twips

// The six hidden picture holders, loaded once.
const QImage& PictureImage(cc::Picture picture) {
    static const std::array<QImage, 7> images = [] {
        InitPictures();
        std::array<QImage, 7> all;
        const char* names[] = {"",        "Normal",   "HighLight",      "Pressed",
                               "Disable", "Selected", "HighLightSelect"};
        for (size_t i = 1; i < all.size(); ++i)
            all[i] = QImage(QStringLiteral(":/controls/%1.bmp").arg(QLatin1String(names[i])));
        return all;
    }();
    return images[static_cast<size_t>(picture)];
}

QColor ToColor(const cc::Tone& t) {
    return QColor(t.red >> 8, t.green >> 8, t.blue >> 8);
}

QRect ToQRect(const cc::Rect& r) {
    return QRect(r.x, r.y, r.w, r.h);
}

cc::MouseButton ToButton(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton:
            return cc::MouseButton::Left;
        case Qt::RightButton:
            return cc::MouseButton::Right;
        case Qt::MiddleButton:
            return cc::MouseButton::Middle;
        default:
            return cc::MouseButton::Other;
    }
}

cc::FontSpec ToSpec(const QFont& f) {
    cc::FontSpec s;
    s.name = f.family().toStdString();
    s.size = f.pointSizeF() > 0 ? f.pointSizeF() : kDesignFontPoints;
    s.weight = static_cast<int16_t>(f.weight());
    s.italic = f.italic();
    s.underline = f.underline();
    s.strikeout = f.strikeOut();
    return s;
}

}  // namespace

Command::Command(QWidget* parent) : QWidget(parent) {
    if (QFont::substitutes(kDesignFont).isEmpty())
        QFont::insertSubstitution(kDesignFont, QStringLiteral("IPAPGothic"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    QFont font(kDesignFont);
    font.setPointSizeF(kDesignFontPoints);
    font.setWeight(QFont::Normal);

    LblMsg = new QLabel(QStringLiteral("Command"), this);
    LblMsg->setObjectName(QStringLiteral("LblMsg"));
    LblMsg->setTextFormat(Qt::PlainText);  // a caption is text, never markup
    // The caption has no window of its own: the cursor over it is over the button.
    LblMsg->setAttribute(Qt::WA_TransparentForMouseEvents);
    LblMsg->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    LblMsg->setWordWrap(false);
    LblMsg->setAutoFillBackground(false);
    LblMsg->setFont(font);
    ApplyCaptionColour();

    TmrMouse = new QTimer(this);
    TmrMouse->setObjectName(QStringLiteral("TmrMouse"));
    TmrMouse->setInterval(100);
    connect(TmrMouse, &QTimer::timeout, this, &Command::PollCursor);

    const double tppX = platform::TwipsPerPixelX(), tppY = platform::TwipsPerPixelY();
    resize(static_cast<int>(std::lround(kDesignWidth / tppX)),
           static_cast<int>(std::lround(kDesignHeight / tppY)));
    // A brand-new button already holds its (disabled) face.
    ApplyEnabled();
}

Command::~Command() = default;

void Command::Initialize() {
    m_.Initialize();
    TmrMouse->setInterval(100);
    TmrMouse->start();
}

uint8_t Command::Visible() {
    if (!opaque_) return 0;
    RefreshFace();
    return 255;
}

void Command::SetVisible(uint8_t New_Visible) {
    opaque_ = New_Visible != 0;
    setAttribute(Qt::WA_OpaquePaintEvent, opaque_);
    if (opaque_) RefreshFace();
    update();
    emit PropertyChanged(QStringLiteral("Visible"));
}

int32_t Command::FontColour() {
    const int32_t colour = fontColour_;
    RefreshFace();
    return colour;
}

void Command::SetFontColour(int32_t New_FontColour) {
    fontColour_ = New_FontColour;
    ApplyCaptionColour();
    RefreshFace();
    emit PropertyChanged(QStringLiteral("FontColour"));
}

bool Command::Enabled() {
    if (m_.FirstRun == 0) {
        RefreshFace();
        m_.FirstRun = 1;
        m_.IsEnabled = cc::kTrue;
    }
    const bool enabled = m_.Enabled();
    ApplyEnabled();
    return enabled;
}

void Command::SetEnabled(bool New_Enabled) {
    m_.IsEnabled = New_Enabled ? cc::kTrue : cc::kFalse;
    emit PropertyChanged(QStringLiteral("Enabled"));
    ApplyEnabled();
}

QString Command::Caption() const {
    return LblMsg->text();
}

void Command::SetCaption(const QString& New_Caption) {
    LblMsg->setText(New_Caption);
    emit PropertyChanged(QStringLiteral("Caption"));
}

QFont Command::Font() const {
    return LblMsg->font();
}

void Command::SetFont(const QFont& New_Font) {
    LblMsg->setFont(New_Font);
    LayoutCaption();
    emit PropertyChanged(QStringLiteral("Font"));
}

cc::FontSpec Command::AmbientFont() const {
    return ToSpec(parentWidget() ? parentWidget()->font() : QApplication::font());
}

cc::ButtonProperties Command::CurrentProperties() const {
    cc::ButtonProperties p;
    p.IsEnabled = m_.IsEnabled;
    p.caption = LblMsg->text().toStdString();
    p.font = ToSpec(LblMsg->font());
    p.FirstRun = m_.FirstRun;
    p.FontColour = fontColour_;
    p.opaque = opaque_;
    return p;
}

void Command::ReadProperties(const cc::PropertyBag& bag) {
    cc::ButtonProperties p = CurrentProperties();
    cc::ReadButtonProperties(bag, AmbientFont(), p);

    m_.IsEnabled = p.IsEnabled;
    LblMsg->setText(QString::fromStdString(p.caption));
    QFont font = LblMsg->font();
    font.setFamily(QString::fromStdString(p.font.name));
    LblMsg->setFont(font);
    LayoutCaption();
    m_.FirstRun = p.FirstRun;
    fontColour_ = p.FontColour;
    ApplyCaptionColour();
    opaque_ = p.opaque;
    setAttribute(Qt::WA_OpaquePaintEvent, opaque_);
    update();
    RefreshFace();
}

void Command::WriteProperties(cc::PropertyBag& bag) {
    const cc::ButtonProperties p = CurrentProperties();
    cc::WriteButtonProperties(p, AmbientFont(), bag);
    RefreshFace();
}

void Command::paintEvent(QPaintEvent*) {
    // The face is never drawn here, only shown.
    if (!opaque_ || face_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, face_);
}

void Command::resizeEvent(QResizeEvent*) {
    ApplyEnabled();
}

void Command::mouseMoveEvent(QMouseEvent*) {
    React(m_.MouseMove());
}

void Command::mousePressEvent(QMouseEvent* e) {
    React(m_.MouseDown(ToButton(e->button())));
    // The press comes first and the focus it brings second, whatever order Qt used.
    if (std::exchange(focusAfterPress_, false)) React(m_.FocusIn());
}

void Command::mouseReleaseEvent(QMouseEvent* e) {
    React(m_.MouseUp(ToButton(e->button()), rect().contains(e->position().toPoint())));
}

// A window switch takes the focus away and gives it back to the same button; neither is a
// change of the button's own. Popups are treated alike.
bool Command::OwnFocusChange(const QFocusEvent* e) {
    const bool away =
        e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason;
    return m_.OwnFocusChange(e->type() == QEvent::FocusIn, away);
}

void Command::focusInEvent(QFocusEvent* e) {
    if (!OwnFocusChange(e)) return;
    if (e->reason() == Qt::MouseFocusReason) {
        // Qt gives the focus before it delivers the press that caused it.
        focusAfterPress_ = true;
        QTimer::singleShot(0, this, [this] {
            if (std::exchange(focusAfterPress_, false)) React(m_.FocusIn());
        });
        return;
    }
    React(m_.FocusIn());
}

void Command::focusOutEvent(QFocusEvent* e) {
    if (!OwnFocusChange(e)) return;
    if (std::exchange(focusAfterPress_, false)) React(m_.FocusIn());
    React(m_.FocusOut());
}

void Command::React(cc::Reaction reaction) {
    if (reaction.paint != Picture::None) PaintFace(reaction.paint);
    if (reaction.click) emit Click();
}

void Command::PaintFace(Picture picture) {
    m_.NotePaint();
    const double tppX = platform::TwipsPerPixelX(), tppY = platform::TwipsPerPixelY();
    const auto W = static_cast<int32_t>(std::lround(width() * tppX));
    const auto H = static_cast<int32_t>(std::lround(height() * tppY));

    if (face_.size() != size()) face_ = QImage(size(), QImage::Format_RGB32);
    if (face_.isNull()) return;
    face_.fill(palette().color(backgroundRole()));
    {
        QPainter painter(&face_);
        PaintGradient(painter);
        const QImage& source = PictureImage(picture);
        if (!source.isNull()) {
            for (const cc::FramePiece& piece : cc::FramePieces(W, H)) {
                const QRect dest = ToQRect(cc::ToPixels(piece.dest, tppX, tppY));
                const QRect src = ToQRect(
                    cc::ToPixels(piece.src, cc::kPictureTwipsPerPixel, cc::kPictureTwipsPerPixel));
                painter.drawImage(dest, source, src);
            }
        }
    }
    update();
    LayoutCaption();
}

void Command::LayoutCaption() {
    const double tppX = platform::TwipsPerPixelX(), tppY = platform::TwipsPerPixelY();
    const auto W = static_cast<int32_t>(std::lround(width() * tppX));
    const auto H = static_cast<int32_t>(std::lround(height() * tppY));
    QRect r = ToQRect(cc::ToPixels(cc::CaptionRect(W, H), tppX, tppY));
    // The designed height fits the design font's 13-pixel cell; a face with a taller line
    // keeps its place but is not cut off below.
    r.setHeight(std::max(r.height(), LblMsg->fontMetrics().height()));
    LblMsg->setGeometry(r);
}

void Command::PaintGradient(QPainter& painter) {
    const cc::GradientTones tones = cc::TonesFor(m_.HoverShade);
    platform::FillVerticalGradient(painter, QRect(QPoint(0, 0), face_.size()), ToColor(tones.top),
                                   ToColor(tones.bottom));
}

void Command::ApplyEnabled() {
    if (m_.Enabled()) {
        PaintFace(Picture::Normal);
        LblMsg->setEnabled(true);
    } else {
        PaintFace(Picture::Disable);
        LblMsg->setEnabled(false);
    }
}

void Command::RefreshFace() {
    const cc::ButtonMachine::Refresh r = m_.RefreshFace();
    if (!r.paint) return;
    LblMsg->setEnabled(true);
    if (r.resetCaptionColour) {
        fontColour_ = 0;
        ApplyCaptionColour();
    }
    PaintFace(Picture::Normal);
}

void Command::CursorLeft() {
    React(m_.CursorLeft());
}

void Command::PollCursor() {
    int x = 0, y = 0;
    if (!platform::GetCursorPos(x, y)) return;
    QWidget* under = platform::WindowFromPoint(x, y);
    if (under != this && !isAncestorOf(under)) CursorLeft();
}

void Command::ApplyCaptionColour() {
    const QColor colour = platform::FromOleColour(static_cast<uint32_t>(fontColour_));
    QPalette pal = LblMsg->palette();
    pal.setColor(QPalette::Active, QPalette::WindowText, colour);
    pal.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    pal.setColor(QPalette::Disabled, QPalette::WindowText,
                 QApplication::palette().color(QPalette::Disabled, QPalette::WindowText));
    LblMsg->setPalette(pal);
}
