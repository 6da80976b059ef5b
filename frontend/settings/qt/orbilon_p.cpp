#include "orbilon_p.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <functional>

#include "command.h"
#include "design_data.h"
#include "doc_page.h"
#include "orbilon_p_logic.h"
#include "platform.h"
#include "settings.h"
#include "window_zoom.h"

namespace dlg = orbilon::dialog;

namespace {

// Form sizes and control places, in twips.
constexpr int kClientWidth = 7185;
constexpr int kClientHeight = 3780;

struct TwipRect {
    int left, top, width, height;
};

double TppX() {
    const double t = platform::TwipsPerPixelX();
    return t > 0 ? t : 15.0;
}
double TppY() {
    const double t = platform::TwipsPerPixelY();
    return t > 0 ? t : 15.0;
}

void Place(QWidget* w, const TwipRect& r) {
    w->setGeometry(dlg::TwipsToPixels(r.left, TppX()), dlg::TwipsToPixels(r.top, TppY()),
                   dlg::TwipsToPixels(r.width, TppX()), dlg::TwipsToPixels(r.height, TppY()));
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// "ＭＳ Ｐゴシック" is not on Linux; IPAPGothic has its metrics. Tahoma falls back to DejaVu Sans.
void InstallFontSubstitutions() {
    const QString msp = QStringLiteral("ＭＳ Ｐゴシック");
    if (!QFont::substitutes(msp).contains(QStringLiteral("IPAPGothic"))) {
        QFont::insertSubstitution(msp, QStringLiteral("IPAPGothic"));
    }
    if (!QFont::substitutes(QStringLiteral("Tahoma")).contains(QStringLiteral("DejaVu Sans"))) {
        QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
    }
}

QFont FormFont() {
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPointSizeF(9.75);
    f.setWeight(QFont::Normal);
    // The labels were sized for "ＭＳ Ｐゴシック", whose small sizes come from narrower bitmap
    // strikes; IPAPGothic's outlines run about 6 % wider at 13 px and would be clipped.
    f.setStretch(93);
    return f;
}

QFont PanelFont() {
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSizeF(8.25);
    return f;
}

// The vertical |sin| shading of the form and the panel, one line per pixel row.
void PaintShading(QWidget* w, int offset, bool bluish) {
    QPainter p(w);
    const int h = w->height();
    const int width = w->width();
    for (int y = 0; y <= h; ++y) {
        const int v = dlg::GradientLevel(y, h);
        p.setPen(bluish ? QColor(v, v, v + 30) : QColor(v + offset, v + offset, v + offset));
        p.drawLine(0, y, width, y);
    }
}

class Panel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { PaintShading(this, 30, false); }
};

// A label or mark that reports a press of any mouse button.
class PressLabel : public QLabel {
public:
    PressLabel(QWidget* parent, std::function<void()> onPress)
        : QLabel(parent), onPress_(std::move(onPress)) {}

protected:
    void mousePressEvent(QMouseEvent* e) override {
        e->accept();
        if (onPress_) onPress_();
    }

private:
    std::function<void()> onPress_;
};

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, const TwipRect& r,
                  const QColor& colour, std::function<void()> onPress = {}) {
    QLabel* l = onPress ? new PressLabel(parent, std::move(onPress)) : new QLabel(parent);
    l->setObjectName(QString::fromUtf8(name));
    // Paths are shown as typed: "<b>" in a file name is not markup.
    l->setTextFormat(Qt::PlainText);
    l->setText(QString::fromUtf8(text));
    l->setFont(FormFont());
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colour);
    l->setPalette(pal);
    l->setAutoFillBackground(false);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setFocusPolicy(Qt::NoFocus);
    Place(l, r);
    return l;
}

orbilon::controls::DesignData LoadDesignData() {
    QFile f(QStringLiteral(":/orbilon_p/orbilon_p.design"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return orbilon::controls::DesignData::Parse(f.readAll().toStdString());
}

}  // namespace

Orbilon_P::Services Orbilon_P::PlatformServices() {
    Services s;
    s.openFile = [](QWidget* owner, const std::string& title, const std::string& filter) {
        return platform::OpenFileDialog(owner, title, filter);
    };
    s.openUrl = [](const std::string& url) { platform::OpenUrl(url); };
    s.message = [](const std::string& text, const std::string& caption) {
        platform::MessageBox(text, caption);
    };
    s.writeIni = [](const std::vector<orbilon::IniWrite>& writes) {
        return orbilon::WriteIniKeys(writes);
    };
    s.settingsPath = [] { return SettingsPath(); };
    s.cursorPos = [](int& x, int& y) { return platform::GetCursorPos(x, y); };
    return s;
}

Orbilon_P::Orbilon_P(Services services)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      services_(std::move(services)) {
    InstallFontSubstitutions();
    setObjectName(QStringLiteral("Orbilon_P"));
    setWindowTitle(QStringLiteral("<Orbilon>"));
    setWindowIcon(QIcon(QPixmap(QStringLiteral(":/orbilon_p/art/icon.bmp"))));
    setFont(FormFont());
    setFixedSize(dlg::TwipsToPixels(kClientWidth, TppX()),
                 dlg::TwipsToPixels(kClientHeight, TppY()));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);
    setAutoFillBackground(true);

    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    const orbilon::controls::DesignData design = LoadDesignData();

    // Tab order follows creation order among the controls that take the focus.
    MakeLabel(this, "lbl(7)", "Designed by Tavrel Ver.1.0.0", {180, 2940, 2475, 195}, white);

    Pic_C_ = new Panel(this);
    Pic_C_->setObjectName(QStringLiteral("Pic_C(0)"));
    Pic_C_->setFont(PanelFont());
    QPalette pp = Pic_C_->palette();
    pp.setColor(QPalette::Window, QColor(224, 224, 224));
    Pic_C_->setPalette(pp);
    Pic_C_->setAutoFillBackground(true);
    Pic_C_->setFocusPolicy(Qt::NoFocus);
    Place(Pic_C_, {180, 240, 6795, 2535});

    BGM_Repeat_ = new QComboBox(Pic_C_);
    BGM_Repeat_->setObjectName(QStringLiteral("BGM_Repeat"));
    BGM_Repeat_->setEditable(true);
    BGM_Repeat_->setInsertPolicy(QComboBox::NoInsert);
    BGM_Repeat_->setFont(PanelFont());
    QPalette cp = BGM_Repeat_->palette();
    cp.setColor(QPalette::Base, white);
    BGM_Repeat_->setPalette(cp);
    Place(BGM_Repeat_, {1380, 780, 615, 300});

    lbl_Fname_ = MakeLabel(Pic_C_, "lbl_Fname", "", {1020, 1740, 5355, 435}, black);
    lbl_Fname_->setFrameStyle(QFrame::Box | QFrame::Plain);
    lbl_Fname_->setLineWidth(1);
    lbl_Fname_->setWordWrap(true);
    lbl_Fname_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    lbl_BGM_[0] = MakeLabel(Pic_C_, "lbl_BGM(0)", "無し", {540, 1140, 345, 195}, black,
                            [this] { ChooseSource(0); });
    lbl_BGM_[2] = MakeLabel(Pic_C_, "lbl_BGM(2)", "MP3、WAV", {540, 1440, 900, 195}, black,
                            [this] { ChooseSource(2); });
    lbl_BGM_[1] = MakeLabel(Pic_C_, "lbl_BGM(1)", "音楽CD", {540, 840, 645, 195}, black,
                            [this] { ChooseSource(1); });
    MakeLabel(Pic_C_, "lbl(14)", "曲目をﾘﾋﾟｰﾄ", {2040, 840, 990, 195}, black);

    QFrame* shape = new QFrame(Pic_C_);
    shape->setObjectName(QStringLiteral("Shape3(3)"));
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape->setLineWidth(1);
    QPalette sp = shape->palette();
    sp.setColor(QPalette::WindowText, black);
    shape->setPalette(sp);
    Place(shape, {300, 300, 1695, 315});
    QLabel* heading = MakeLabel(Pic_C_, "lbl(15)", "BGM", {300, 360, 1665, 195}, black);
    heading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    const TwipRect markPlaces[3] = {
        {300, 1140, 195, 195}, {300, 840, 195, 195}, {300, 1440, 195, 195}};
    for (int i = 0; i < 3; ++i) {
        const std::string name = "Img_BGM(" + std::to_string(i) + ")";
        Img_BGM_[i] = MakeLabel(Pic_C_, name.c_str(), "", markPlaces[i], black,
                                [this, i] { ChooseSource(i); });
    }

    const auto makeButton = [&](QWidget* parent, const char* name, const TwipRect& r) {
        Command* b = new Command(parent);
        b->setObjectName(QString::fromUtf8(name));
        b->setFont(FormFont());
        if (const orbilon::controls::PropertyBag* bag = design.Find(name)) b->ReadProperties(*bag);
        Place(b, r);
        return b;
    };
    Cmd_BGM_ = makeButton(Pic_C_, "Cmd_BGM", {540, 1740, 435, 315});
    Cmd_Set_ = makeButton(this, "Cmd_Set", {4800, 3000, 1095, 375});
    Cmd_Can_ = makeButton(this, "Cmd_Can", {5940, 3000, 1035, 375});
    Cmd_Etc_ = makeButton(this, "Cmd_Etc", {2880, 3000, 1875, 375});
    QWidget::setTabOrder(BGM_Repeat_, Cmd_BGM_);
    QWidget::setTabOrder(Cmd_BGM_, Cmd_Set_);
    QWidget::setTabOrder(Cmd_Set_, Cmd_Can_);
    QWidget::setTabOrder(Cmd_Can_, Cmd_Etc_);
    connect(Cmd_BGM_, &Command::Click, this, [this] { ChooseFile(); });
    connect(Cmd_Set_, &Command::Click, this, [this] { Save(); });
    connect(Cmd_Can_, &Command::Click, this, [this] { reject(); });
    connect(Cmd_Etc_, &Command::Click, this, [this] { OpenHomePage(); });

    // The two mark pictures, stored right of the client area where they are never seen.
    const char* marks[2] = {":/orbilon_p/art/mark_off.bmp", ":/orbilon_p/art/mark_on.bmp"};
    const TwipRect stores[2] = {{8040, 300, 180, 180}, {8040, 600, 180, 180}};
    for (int i = 0; i < 2; ++i) {
        const std::string name = "Img_Ra(" + std::to_string(i) + ")";
        Img_Ra_[i] = MakeLabel(this, name.c_str(), "", stores[i], black);
        Img_Ra_[i]->setPixmap(QPixmap(QString::fromUtf8(marks[i])));
    }
}

void Orbilon_P::showEvent(QShowEvent* event) {
    // The first show is the form's load: it runs before the window is mapped, so the opening
    // zoom plays before the dialog appears.
    if (!loaded_) {
        loaded_ = true;
        Load();
    }
    QDialog::showEvent(event);
}

void Orbilon_P::Load() {
    // 1. Centred horizontally, one third of the free height down, size unchanged.
    if (QScreen* scr = screen()) {
        const QRect sg = scr->geometry();
        const QSize outer = frameGeometry().size();
        const dlg::Placement at = dlg::PlaceDialog(sg.width() * TppX(), sg.height() * TppY(),
                                                   outer.width() * TppX(), outer.height() * TppY());
        move(sg.left() + dlg::TwipsToPixels(at.left, TppX()),
             sg.top() + dlg::TwipsToPixels(at.top, TppY()));
    }
    // 2. Arm the buttons.
    for (Command* b : findChildren<Command*>()) b->Initialize();
    // 3.-5. Marks and enabled states for the loaded source.
    ShowSource(BGMKind);
    // 6.-7. The track box: the 31 items, then the loaded track (adding items to an empty
    // combo box would otherwise replace the text with the first item's).
    for (const std::string& item : dlg::TrackItems()) BGM_Repeat_->addItem(Q(item));
    BGM_Repeat_->setCurrentIndex(-1);
    BGM_Repeat_->setEditText(Q(dlg::FormatHashHash(RepeatTrack)));
    // 8. The file label.
    lbl_Fname_->setText(Q(BGMFile));
    // 9. The anchor of the zoom, then the opening zoom.
    int x = 0, y = 0;
    const bool ok = services_.cursorPos && services_.cursorPos(x, y);
    LastApiResult = ok ? 1 : 0;
    if (ok) {
        AnchorX = zoom::AnchorCoordinate(x, AnchorX);
        AnchorY = zoom::AnchorCoordinate(y, AnchorY);
    } else {
        AnchorX = 0;
        AnchorY = 0;
    }
    ZoomOpen(winId());
    // 10. Default pointer.
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

void Orbilon_P::ShowSource(int16_t kind) {
    const dlg::SourceView view = dlg::ViewFor(kind);
    for (int i = 0; i < 3; ++i) {
        Img_BGM_[i]->setPixmap(Img_Ra_[i == view.selectedMark ? 1 : 0]->pixmap());
    }
    BGM_Repeat_->setEnabled(view.repeatEnabled);
    Cmd_BGM_->SetEnabled(view.fileButtonEnabled);
}

void Orbilon_P::ChooseSource(int i) {
    BGMKind = static_cast<int16_t>(i);
    ShowSource(BGMKind);
}

void Orbilon_P::ChooseFile() {
    // Qt reads the patterns from the last parentheses; both cases are listed because Linux
    // file names are case-sensitive and the pattern is meant as "any .mp3 or .wav".
    const std::string filter = std::string(dlg::kFilterDescription) + " (*.MP3 *.WAV *.mp3 *.wav)";
    std::optional<std::string> path;
    if (services_.openFile) path = services_.openFile(this, dlg::kFileDialogTitle, filter);
    LastApiResult = path ? 1 : 0;
    const dlg::FileVerdict verdict = dlg::JudgeChosenFile(path.has_value(), path.value_or(""));
    if (verdict == dlg::FileVerdict::Take) {
        BGMFile = *path;
        lbl_Fname_->setText(Q(BGMFile));
    } else if (verdict != dlg::FileVerdict::Ignore && services_.message) {
        services_.message(dlg::RefusalMessage(verdict), platform::kAppTitle);
    }
}

void Orbilon_P::Save() {
    const dlg::SavePlan plan =
        dlg::PlanSave(BGMKind, BGM_Repeat_->currentText().toStdString(), BGMFile);
    RepeatTrack = plan.repeatTrack;
    if (!services_.writeIni || !services_.writeIni(plan.writes)) {
        // Closing now would look like a save; say so and let the user cancel or retry.
        if (services_.message) {
            const std::string where = services_.settingsPath ? services_.settingsPath() : "";
            services_.message(dlg::SaveFailedMessage(where), platform::kAppTitle);
        }
        return;
    }
    accept();
}

void Orbilon_P::OpenHomePage() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (services_.openUrl) services_.openUrl(orbilon::DocumentationUrl(ProgramFolder()));
    QApplication::restoreOverrideCursor();
}

void Orbilon_P::done(int result) {
    // Every way out (設定, ｷｬﾝｾﾙ, the window's close button, Escape) shrinks back to the anchor.
    if (!closing_) {
        closing_ = true;
        if (isVisible()) ZoomClose(winId());
    }
    QDialog::done(result);
}

void Orbilon_P::paintEvent(QPaintEvent*) {
    PaintShading(this, 0, true);
}

void ShowSettingsDialogModal() {
    Orbilon_P dialog;
    dialog.exec();
}
