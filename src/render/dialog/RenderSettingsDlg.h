#pragma once
// The render settings dialog: output file, output size with its presets, antialiasing and joint
// smoothing. OK ("レンダリング") writes the five render settings and starts the render.

#include <QDialog>
#include <QRect>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class CSettingsStore;

class CRenderSettingsDlg final : public QDialog {
public:
    // Reads and, on OK, writes the `render` section of `settings`.
    CRenderSettingsDlg(CSettingsStore& settings, QWidget* parent);

    // Largest width or height that can be typed (the render doubles it with antialiasing).
    static constexpr int kMaxSize = 8192;
    // The output chooser's filters; the output's extension decides the format (BMP by default).
    static constexpr const char* kOutputFilter = "ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp);;PNG (*.png)";

    struct Preset {
        const char* text;
        int width, height;
    };
    static const Preset kPresets[7];
    // The preset index (1-6) whose size equals width × height, else 0 ("User").
    static int MatchPreset(int width, int height);

    QLineEdit* PathEdit() const { return m_path; }
    QLineEdit* WidthEdit() const { return m_width; }
    QLineEdit* HeightEdit() const { return m_height; }
    QComboBox* PresetList() const { return m_presets; }
    QCheckBox* AntialiasBox() const { return m_antialias; }
    QCheckBox* SmoothBox() const { return m_smooth; }
    QPushButton* FilesButton() const { return m_files; }
    QPushButton* RenderButton() const { return m_ok; }

    void accept() override;

private:
    // The dialog is planned in dialog units: Place notes where a control goes, LayOut sets the units
    // (from the font, larger where a control needs more room) and places every control in pixels.
    void Place(QWidget* w, int x, int y, int width, int height);
    void LayOut(int width, int height);
    void OnPresetChosen(int index);
    void OnWidthEdited();
    void OnHeightEdited();
    void OnFiles();
    void ShowSize(int width, int height);
    void ShowMatchingPreset();

    CSettingsStore& m_settings;
    QLineEdit* m_path;
    QLineEdit* m_width;
    QLineEdit* m_height;
    QComboBox* m_presets;
    QCheckBox* m_antialias;
    QCheckBox* m_smooth;
    QPushButton* m_files;
    QPushButton* m_ok;
    double m_unitX = 1.5;  // pixels per dialog unit
    double m_unitY = 1.5;
    struct Placed {
        QWidget* widget;
        QRect units;
    };
    std::vector<Placed> m_plan;
};
