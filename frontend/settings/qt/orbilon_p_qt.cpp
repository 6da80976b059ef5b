#include "orbilon_p_qt.h"

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

#include "command_qt.h"
#include "design_data.h"
#include "dialog_layout.h"
#include "doc_page.h"
#include "orbilon_p_logic.h"
#include "settings.h"
#include "toolkit_qt.h"
#include "window_contract.h"
#include "window_zoom_qt.h"

namespace dlg = orbilon::dialog;

namespace {

using dlg::TwipRect;

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

QColor ToQColor(const dlg::Rgb& c) {
    return QColor(c.r, c.g, c.b);
}

QFont FormFont() {
    QFont f(QString::fromUtf8(dlg::kFormFace));
    f.setPointSizeF(dlg::kFormPoints);
    f.setWeight(QFont::Normal);
    // The labels were sized for "ＭＳ Ｐゴシック", whose small sizes come from narrower bitmap
    // strikes; IPAPGothic's outlines run about 6 % wider at 13 px and would be clipped.
    f.setStretch(93);
    return f;
}

QFont PanelFont() {
    QFont f(QString::fromUtf8(dlg::kPanelFace));
    f.setPointSizeF(dlg::kPanelPoints);
    return f;
}

// The vertical |sin| shading of the form and the panel, one line per pixel row.
void PaintShading(QWidget* w, dlg::Rgb (*shade)(int level)) {
    QPainter p(w);
    const int h = w->height();
    const int width = w->width();
    for (int y = 0; y <= h; ++y) {
        p.setPen(ToQColor(shade(dlg::GradientLevel(y, h))));
        p.drawLine(0, y, width, y);
    }
}

class Panel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { PaintShading(this, dlg::PanelShade); }
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
    setWindowTitle(QString::fromUtf8(orbilon::kDialogTitle));
    setWindowIcon(QIcon(QPixmap(QStringLiteral(":/orbilon_p/art/icon.bmp"))));
    setFont(FormFont());
    setFixedSize(dlg::TwipsToPixels(dlg::kClientWidth, TppX()),
                 dlg::TwipsToPixels(dlg::kClientHeight, TppY()));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(dlg::kFormBackground));
    setPalette(pal);
    setAutoFillBackground(true);

    const QColor black = ToQColor(dlg::kPanelTextColour);
    const orbilon::controls::DesignData design = LoadDesignData();

    // Tab order follows creation order among the controls that take the focus.
    MakeLabel(this, "lbl(7)", dlg::kVersionText, dlg::kVersion, ToQColor(dlg::kVersionColour));

    Pic_C_ = new Panel(this);
    Pic_C_->setObjectName(QStringLiteral("Pic_C(0)"));
    Pic_C_->setFont(PanelFont());
    QPalette pp = Pic_C_->palette();
    pp.setColor(QPalette::Window, ToQColor(dlg::kPanelBackground));
    Pic_C_->setPalette(pp);
    Pic_C_->setAutoFillBackground(true);
    Pic_C_->setFocusPolicy(Qt::NoFocus);
    Place(Pic_C_, dlg::kPanel);

    BGM_Repeat_ = new QComboBox(Pic_C_);
    BGM_Repeat_->setObjectName(QStringLiteral("BGM_Repeat"));
    BGM_Repeat_->setEditable(true);
    BGM_Repeat_->setInsertPolicy(QComboBox::NoInsert);
    BGM_Repeat_->setFont(PanelFont());
    QPalette cp = BGM_Repeat_->palette();
    cp.setColor(QPalette::Base, ToQColor(dlg::kTrackBoxBackground));
    BGM_Repeat_->setPalette(cp);
    Place(BGM_Repeat_, dlg::kRepeat);

    lbl_Fname_ = MakeLabel(Pic_C_, "lbl_Fname", "", dlg::kFileLabel, black);
    lbl_Fname_->setFrameStyle(QFrame::Box | QFrame::Plain);
    lbl_Fname_->setLineWidth(1);
    lbl_Fname_->setWordWrap(true);
    lbl_Fname_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // Created 0, 2, 1: the stacking the form was designed with.
    for (const int i : {0, 2, 1}) {
        const std::string name = "lbl_BGM(" + std::to_string(i) + ")";
        lbl_BGM_[i] = MakeLabel(Pic_C_, name.c_str(), dlg::kChoiceTexts[i], dlg::kChoiceLabels[i],
                                black, [this, i] { ChooseSource(i); });
    }
    MakeLabel(Pic_C_, "lbl(14)", dlg::kRepeatLabelText, dlg::kRepeatLabel, black);

    QFrame* shape = new QFrame(Pic_C_);
    shape->setObjectName(QStringLiteral("Shape3(3)"));
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape->setLineWidth(1);
    QPalette sp = shape->palette();
    sp.setColor(QPalette::WindowText, black);
    shape->setPalette(sp);
    Place(shape, dlg::kHeadingFrame);
    QLabel* heading = MakeLabel(Pic_C_, "lbl(15)", dlg::kHeadingText, dlg::kHeading, black);
    heading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    for (int i = 0; i < 3; ++i) {
        const std::string name = "Img_BGM(" + std::to_string(i) + ")";
        Img_BGM_[i] = MakeLabel(Pic_C_, name.c_str(), "", dlg::kMarks[i], black,
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
    Cmd_BGM_ = makeButton(Pic_C_, "Cmd_BGM", dlg::kCmdBgm);
    Cmd_Set_ = makeButton(this, "Cmd_Set", dlg::kCmdSet);
    Cmd_Can_ = makeButton(this, "Cmd_Can", dlg::kCmdCan);
    Cmd_Etc_ = makeButton(this, "Cmd_Etc", dlg::kCmdEtc);
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
    for (int i = 0; i < 2; ++i) {
        const std::string name = "Img_Ra(" + std::to_string(i) + ")";
        Img_Ra_[i] = MakeLabel(this, name.c_str(), "", dlg::kMarkStores[i], black);
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
    struct Steps : dlg::LoadSteps {
        Orbilon_P& form;
        explicit Steps(Orbilon_P& f) : form(f) {}
        std::optional<Geometry> Measure() override {
            QScreen* scr = form.screen();
            if (!scr) return std::nullopt;
            const QRect sg = scr->geometry();
            const QSize outer = form.frameGeometry().size();
            return Geometry{sg.width(), sg.height(), outer.width(), outer.height(), TppX(), TppY()};
        }
        void MoveTo(int x, int y) override {
            const QRect sg = form.screen()->geometry();
            form.move(sg.left() + x, sg.top() + y);
        }
        void ArmButtons() override {
            for (Command* b : form.findChildren<Command*>()) b->Initialize();
        }
        void ShowSource(int16_t kind) override { form.ShowSource(kind); }
        void FillTrackBox(const std::vector<std::string>& items) override {
            for (const std::string& item : items) form.BGM_Repeat_->addItem(Q(item));
            // Adding items to an empty combo box would otherwise put the first in its text.
            form.BGM_Repeat_->setCurrentIndex(-1);
        }
        void SetTrackText(const std::string& text) override {
            form.BGM_Repeat_->setEditText(Q(text));
        }
        void ShowFile(const std::string& path) override { form.lbl_Fname_->setText(Q(path)); }
        std::optional<std::pair<long, long>> CursorPos() override {
            int x = 0, y = 0;
            if (!form.services_.cursorPos || !form.services_.cursorPos(x, y)) return std::nullopt;
            return std::pair<long, long>(x, y);
        }
        void ZoomOpen() override { ::ZoomOpen(form.winId()); }
        void DefaultPointer() override {
            while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
        }
    } steps(*this);
    dlg::LoadForm(steps, BGMKind, RepeatTrack, BGMFile);
}

void Orbilon_P::ShowSource(int16_t kind) {
    const dlg::SourceView view = dlg::ViewFor(kind);
    for (int i = 0; i < 3; ++i) {
        Img_BGM_[i]->setPixmap(Img_Ra_[i == view.selectedMark ? 1 : 0]->pixmap());
    }
    BGM_Repeat_->setEnabled(view.repeatEnabled);
    Cmd_BGM_->SetEnabled(view.fileButtonEnabled);
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
        services_.message(dlg::RefusalMessage(verdict), orbilon::kAppTitle);
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
            services_.message(dlg::SaveFailedMessage(where), orbilon::kAppTitle);
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
    PaintShading(this, dlg::FormShade);
}

void ShowSettingsDialogModal() {
    Orbilon_P dialog;
    dialog.exec();
}
