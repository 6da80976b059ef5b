// The settings dialog as a widget, on Qt's offscreen platform: what it shows for the loaded
// settings, what each choice changes, and what (if anything) each way out writes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "command_qt.h"
#include "doc_page.h"
#include "orbilon_p_logic.h"
#include "orbilon_p_qt.h"
#include "settings.h"
#include "toolkit_qt.h"
#include "window_zoom_qt.h"

namespace {

using Writes = std::vector<std::pair<std::string, std::string>>;

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        BGMKind = 0;
        RepeatTrack = 0;
        BGMFile.clear();
    }

    // Builds and shows the dialog for the settings as they are now.
    void Open() {
        Orbilon_P::Services s;
        s.openFile = [this](QWidget*, const std::string& title, const std::string& filter) {
            dialogTitle = title;
            dialogFilter = filter;
            return nextFile;
        };
        s.openUrl = [this](const std::string& url) {
            urls.push_back(url);
            const QCursor* c = QApplication::overrideCursor();
            busyWhileOpening = c && c->shape() == Qt::WaitCursor;
        };
        s.message = [this](const std::string& text, const std::string&) {
            messages.push_back(text);
        };
        s.writeIni = [this](const std::vector<orbilon::IniWrite>& save) {
            ++saves;
            for (const auto& [k, v] : save) writes.emplace_back(k, v);
            return writable;
        };
        s.settingsPath = [] { return std::string("/ro/Orbilon.ini"); };
        s.cursorPos = [this](int& x, int& y) {
            x = cursor.x();
            y = cursor.y();
            return haveCursor;
        };
        dialog = std::make_unique<Orbilon_P>(std::move(s));
        dialog->show();
    }

    template <typename T = QWidget>
    T* Child(const char* name) {
        T* w = dialog->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(nullptr, w) << name;
        return w;
    }

    QImage Picture(const char* name) { return Child<QLabel>(name)->pixmap().toImage(); }

    int SelectedMark() {
        int selected = -1, count = 0;
        const QImage on = Picture("Img_Ra(1)");
        for (int i = 0; i < 3; ++i) {
            const std::string n = "Img_BGM(" + std::to_string(i) + ")";
            if (Picture(n.c_str()) == on) {
                selected = i;
                ++count;
            } else {
                EXPECT_EQ(Picture("Img_Ra(0)"), Picture(n.c_str())) << n;
            }
        }
        return count == 1 ? selected : (count == 0 ? -1 : -2);
    }

    bool RepeatEnabled() { return Child<QComboBox>("BGM_Repeat")->isEnabled(); }
    bool FileButtonEnabled() { return Child<Command>("Cmd_BGM")->Enabled(); }

    void Press(const char* name, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(Child(name), b, {}, QPoint(3, 3));
        QTest::mouseRelease(Child(name), b, {}, QPoint(3, 3));
    }
    void Click(const char* name) { emit Child<Command>(name)->Click(); }
    void Type(const char* text) {
        QComboBox* box = Child<QComboBox>("BGM_Repeat");
        box->setEditText(QString::fromUtf8(text));
    }
    std::string Written(const char* key) {
        for (const auto& [k, v] : writes)
            if (k == key) return v;
        return "<none>";
    }

    std::unique_ptr<Orbilon_P> dialog;
    std::optional<std::string> nextFile;
    std::string dialogTitle, dialogFilter;
    std::vector<std::string> urls, messages;
    bool busyWhileOpening = false;
    bool writable = true;
    int saves = 0;
    QPoint cursor{10, 20};
    bool haveCursor = true;
    Writes writes;
};

TEST_F(DialogTest, FormAndControlsAtTheirPlaces) {
    Open();
    EXPECT_EQ(QStringLiteral("<Orbilon>"), dialog->windowTitle());
    EXPECT_EQ(QSize(479, 252), dialog->size());
    EXPECT_EQ(QRect(12, 16, 453, 169), Child("Pic_C(0)")->geometry());
    EXPECT_EQ(QRect(92, 52, 41, 20), Child("BGM_Repeat")->geometry());
    EXPECT_EQ(QRect(68, 116, 357, 29), Child("lbl_Fname")->geometry());
    EXPECT_EQ(QRect(320, 200, 73, 25), Child("Cmd_Set")->geometry());
    EXPECT_EQ(QRect(536, 20, 12, 12), Child("Img_Ra(0)")->geometry());
    EXPECT_EQ(QSize(12, 12), Picture("Img_Ra(1)").size());
    EXPECT_NE(Picture("Img_Ra(0)"), Picture("Img_Ra(1)"));
    EXPECT_EQ(QStringLiteral("設定"), Child<Command>("Cmd_Set")->Caption());
    EXPECT_EQ(QStringLiteral("ｷｬﾝｾﾙ"), Child<Command>("Cmd_Can")->Caption());
    EXPECT_EQ(QStringLiteral("その他の作品"), Child<Command>("Cmd_Etc")->Caption());
    EXPECT_EQ(QStringLiteral("..."), Child<Command>("Cmd_BGM")->Caption());
    EXPECT_EQ(QStringLiteral("ＭＳ Ｐゴシック"), Child<QLabel>("lbl_BGM(1)")->font().family());
    EXPECT_EQ(Qt::NoFocus, Child("lbl_BGM(1)")->focusPolicy());
    // The shading: dark blue at the top edge, pale lavender in the middle.
    const QImage form = dialog->grab().toImage();
    EXPECT_EQ(QColor(0, 0, 30), form.pixelColor(2, 0));
    EXPECT_EQ(QColor(220, 220, 250), form.pixelColor(2, 126));
    const QImage panel = Child("Pic_C(0)")->grab().toImage();
    EXPECT_EQ(QColor(30, 30, 30), panel.pixelColor(450, 0));
    EXPECT_EQ(QColor(250, 250, 250), panel.pixelColor(450, 84));
}

TEST_F(DialogTest, LoadedSourceShowsItsMarkAndControls) {
    BGMFile = "/music/a.mp3";
    Open();
    EXPECT_EQ(0, SelectedMark());
    EXPECT_FALSE(RepeatEnabled());
    EXPECT_FALSE(FileButtonEnabled());
    EXPECT_EQ(QStringLiteral("/music/a.mp3"), Child<QLabel>("lbl_Fname")->text());
    dialog.reset();

    BGMKind = 1;
    RepeatTrack = 5;
    Open();
    EXPECT_EQ(1, SelectedMark());
    EXPECT_TRUE(RepeatEnabled());
    EXPECT_FALSE(FileButtonEnabled());
    QComboBox* box = Child<QComboBox>("BGM_Repeat");
    EXPECT_EQ(QStringLiteral("5"), box->currentText());
    ASSERT_EQ(31, box->count());
    EXPECT_EQ(QString(), box->itemText(0));
    EXPECT_EQ(QStringLiteral("30"), box->itemText(30));
    dialog.reset();

    BGMKind = 2;
    RepeatTrack = 0;
    Open();
    EXPECT_EQ(2, SelectedMark());
    EXPECT_FALSE(RepeatEnabled());
    EXPECT_TRUE(FileButtonEnabled());
    EXPECT_EQ(QString(), Child<QComboBox>("BGM_Repeat")->currentText());  // RepeatTrack 0
    dialog.reset();

    BGMKind = 7;
    Open();
    EXPECT_EQ(-1, SelectedMark());
    EXPECT_FALSE(RepeatEnabled());
    EXPECT_FALSE(FileButtonEnabled());
    Click("Cmd_Set");
    EXPECT_EQ("7", Written("BGM区分"));
}

TEST_F(DialogTest, AnyButtonOnAMarkOrLabelChoosesItsSource) {
    Open();
    Press("lbl_BGM(1)", Qt::RightButton);
    EXPECT_EQ(1, BGMKind);
    EXPECT_EQ(1, SelectedMark());
    EXPECT_TRUE(RepeatEnabled());
    Press("Img_BGM(2)", Qt::MiddleButton);
    EXPECT_EQ(2, BGMKind);
    EXPECT_EQ(2, SelectedMark());
    EXPECT_FALSE(RepeatEnabled());
    EXPECT_TRUE(FileButtonEnabled());
    Press("lbl_BGM(0)");
    EXPECT_EQ(0, BGMKind);
    EXPECT_EQ(0, SelectedMark());
    EXPECT_FALSE(FileButtonEnabled());
    Press("lbl(14)");  // a plain label chooses nothing
    EXPECT_EQ(0, BGMKind);
}

TEST_F(DialogTest, SaveWritesTheKeysAndCloses) {
    struct Case {
        const char* typed;
        const char* written;
    };
    for (const Case& c : {Case{"7.5", "8"}, Case{"2.5", "2"}, Case{"abc", "0"}, Case{"", "0"},
                          Case{"40000", "0"}}) {
        writes.clear();
        BGMKind = 1;
        Open();
        Type(c.typed);
        Click("Cmd_Set");
        ASSERT_EQ(3u, writes.size()) << c.typed;
        EXPECT_EQ(1, saves) << "all three keys in one save";
        saves = 0;
        EXPECT_EQ("BGM区分", writes[0].first);
        EXPECT_EQ("1", writes[0].second);
        EXPECT_EQ("BGMﾘﾋﾟｰﾄ", writes[1].first);
        EXPECT_EQ(c.written, writes[1].second) << c.typed;
        EXPECT_EQ("BGMﾌｧｲﾙ", writes[2].first);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(QDialog::Accepted, dialog->result());
        dialog.reset();
    }
}

TEST_F(DialogTest, ChosenFileIsKeptWhenSwitchingToNone) {
    BGMKind = 2;
    Open();
    nextFile = "/music/曲.wav";
    Click("Cmd_BGM");
    EXPECT_EQ("ﾌｧｲﾙを開く", dialogTitle);
    EXPECT_NE(std::string::npos, dialogFilter.find("BGMﾌｧｲﾙ (MP3 WAV)"));
    EXPECT_NE(std::string::npos, dialogFilter.find("*.MP3"));
    EXPECT_EQ("/music/曲.wav", BGMFile);
    EXPECT_EQ(QStringLiteral("/music/曲.wav"), Child<QLabel>("lbl_Fname")->text());
    Press("lbl_BGM(0)");
    Click("Cmd_Set");
    EXPECT_EQ("0", Written("BGM区分"));
    EXPECT_EQ("/music/曲.wav", Written("BGMﾌｧｲﾙ"));
}

TEST_F(DialogTest, CancelledOrUnusableFileChangesNothing) {
    BGMKind = 2;
    BGMFile = "/old.mp3";
    Open();
    nextFile.reset();
    Click("Cmd_BGM");
    EXPECT_EQ("/old.mp3", BGMFile);
    EXPECT_TRUE(messages.empty());
    nextFile = "/music/café.mp3";  // no Shift_JIS form: it would be saved mangled
    Click("Cmd_BGM");
    EXPECT_EQ("/old.mp3", BGMFile);
    EXPECT_EQ(QStringLiteral("/old.mp3"), Child<QLabel>("lbl_Fname")->text());
    EXPECT_EQ(1u, messages.size());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(DialogTest, FailedSaveSaysSoAndStaysOpen) {
    writable = false;
    Open();
    Click("Cmd_Set");
    EXPECT_EQ(1, saves);
    EXPECT_EQ(3u, writes.size());
    EXPECT_EQ(1u, messages.size());
    EXPECT_NE(std::string::npos, messages[0].find("/ro/Orbilon.ini"));
    EXPECT_TRUE(dialog->isVisible());
    Click("Cmd_Can");
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(DialogTest, LabelsShowTagsAsText) {
    BGMKind = 2;
    BGMFile = "/music/x<b>bold.mp3";
    Open();
    QLabel* name = Child<QLabel>("lbl_Fname");
    EXPECT_EQ(QStringLiteral("/music/x<b>bold.mp3"), name->text());
    // Every label of the form, the buttons' captions included.
    for (QLabel* l : dialog->findChildren<QLabel*>()) {
        EXPECT_EQ(Qt::PlainText, l->textFormat()) << l->objectName().toStdString();
    }
    nextFile = "/music/<i>y</i>.wav";
    Click("Cmd_BGM");
    EXPECT_EQ(QStringLiteral("/music/<i>y</i>.wav"), name->text());
    EXPECT_EQ(Qt::PlainText, name->textFormat());
}

// The platform's own message box and file dialog, driven from inside their modal loops.
// Calls `step` with the active modal widget every 20 ms while the calling test runs, so the
// test can drive a modal dialog from inside its loop.
class ModalDriver {
public:
    explicit ModalDriver(std::function<void(QWidget*)> step) {
        QObject::connect(&timer_, &QTimer::timeout, [step] {
            if (QWidget* w = QApplication::activeModalWidget()) step(w);
        });
        timer_.start(20);
    }

private:
    QTimer timer_;
};

TEST(PlatformDialogs, MessageBoxShowsPlainText) {
    Qt::TextFormat format = Qt::RichText;
    QString text;
    ModalDriver driver([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            format = box->textFormat();
            text = box->text();
            box->accept();
        }
    });
    platform::MessageBox("/music/x<b>bold.mp3", "caption");
    EXPECT_EQ(Qt::PlainText, format);
    EXPECT_EQ(QStringLiteral("/music/x<b>bold.mp3"), text);
}

TEST(PlatformDialogs, FileDialogTakesATypedNameOfAMissingFile) {
    const QString folder = QDir::tempPath();
    const QString missing = folder + QStringLiteral("/orbilon-missing-\u66f2.mp3");
    ASSERT_FALSE(QFileInfo::exists(missing));
    QString title;
    bool typed = false, warned = false;
    ModalDriver driver([&](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            // Qt's open dialog refuses a missing file with such a warning.
            warned = true;
            box->accept();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(w)) {
            if (typed) {
                dialog->reject();  // the name was not taken
                return;
            }
            typed = true;
            title = dialog->windowTitle();
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!edit) return;
            edit->setText(missing);  // as typed (keyClicks knows no non-ASCII keys)
            // Pressed after this step returns: a warning's loop must not run inside it, where
            // the driver's timer could not fire again to dismiss it.
            QTimer::singleShot(0, edit, [edit] { QTest::keyClick(edit, Qt::Key_Return); });
        }
    });
    const auto chosen = platform::OpenFileDialog(
        nullptr, "ﾌｧｲﾙを開く", "BGMﾌｧｲﾙ (MP3 WAV) (*.MP3 *.WAV)", folder.toStdString());
    EXPECT_EQ(QStringLiteral("ﾌｧｲﾙを開く"), title);
    EXPECT_FALSE(warned);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(missing.toStdString(), *chosen);
}

TEST_F(DialogTest, CancelAndCloseWriteNothing) {
    BGMKind = 1;
    Open();
    Press("lbl_BGM(2)");
    Click("Cmd_Can");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(QDialog::Rejected, dialog->result());
    dialog.reset();
    Open();
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    dialog.reset();
    Open();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(writes.empty());
}

TEST_F(DialogTest, ZoomAnchorIsTheCursorAtLoad) {
    Open();
    EXPECT_EQ(10, AnchorX);
    EXPECT_EQ(20, AnchorY);
    EXPECT_EQ(1, LastApiResult);
    dialog.reset();
    cursor = QPoint(70000, 30);  // x does not fit 16 bits: it keeps the earlier anchor
    Open();
    EXPECT_EQ(10, AnchorX);
    EXPECT_EQ(30, AnchorY);
    dialog.reset();
    haveCursor = false;
    Open();
    EXPECT_EQ(0, AnchorX);
    EXPECT_EQ(0, AnchorY);
    EXPECT_EQ(0, LastApiResult);
}

TEST_F(DialogTest, TabOrderRunsThroughTheFocusableControls) {
    BGMKind = 1;
    Open();
    std::vector<QString> order;
    QWidget* w = Child("BGM_Repeat");
    for (int i = 0; i < 4; ++i) {
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus || w->parentWidget() == Child("BGM_Repeat")) {
            w = w->nextInFocusChain();
        }
        order.push_back(w->objectName());
    }
    EXPECT_EQ((std::vector<QString>{"Cmd_BGM", "Cmd_Set", "Cmd_Can", "Cmd_Etc"}), order);
}

TEST_F(DialogTest, HomePageOpensUnderTheBusyPointer) {
    Open();
    Click("Cmd_Etc");
    ASSERT_EQ(1u, urls.size());
    EXPECT_EQ(orbilon::DocumentationUrl(ProgramFolder()), urls[0]);
    EXPECT_EQ(0u, urls[0].rfind("file:///", 0));
    EXPECT_TRUE(busyWhileOpening);
    EXPECT_EQ(nullptr, QApplication::overrideCursor());
    EXPECT_TRUE(dialog->isVisible());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
