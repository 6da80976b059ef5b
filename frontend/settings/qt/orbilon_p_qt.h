// The settings dialog Orbilon_P: music source, CD track to repeat and music file, saved to
// Orbilon.ini by "設定". Its title "<Orbilon>" is also the front end's single-instance marker.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "orbilon_p_form.h"
#include "settings.h"

class Command;
class QComboBox;
class QLabel;

class Orbilon_P : public QDialog, private orbilon::dialog::FormHandlers {
public:
    // What the dialog asks of the world outside it; tests replace these.
    struct Services {
        std::function<std::optional<std::string>(QWidget* owner, const std::string& title,
                                                 const std::string& filter)>
            openFile;
        std::function<void(const std::string& url)> openUrl;
        std::function<void(const std::string& text, const std::string& caption)> message;
        // Stores every key or none.
        std::function<bool(const std::vector<orbilon::IniWrite>& writes)> writeIni;
        std::function<std::string()> settingsPath;
        std::function<bool(int& x, int& y)> cursorPos;
    };
    static Services PlatformServices();

    explicit Orbilon_P(Services services = PlatformServices());

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Load() override;
    void ShowSource(int16_t kind) override;
    void ChooseFile() override;
    void Save() override;
    void OpenHomePage() override;

    Services services_;
    bool loaded_ = false;
    bool closing_ = false;
    QWidget* Pic_C_ = nullptr;
    QLabel* Img_BGM_[3] = {};
    QLabel* lbl_BGM_[3] = {};
    QLabel* Img_Ra_[2] = {};
    QComboBox* BGM_Repeat_ = nullptr;
    QLabel* lbl_Fname_ = nullptr;
    Command* Cmd_BGM_ = nullptr;
    Command* Cmd_Etc_ = nullptr;
    Command* Cmd_Set_ = nullptr;
    Command* Cmd_Can_ = nullptr;
};

// Runs the dialog modally without an owner, as the "C" switch does.
void ShowSettingsDialogModal();
