#pragma once
// The camera and background page (ｵﾌﾟｼｮﾝ): the lens of the edit camera, the background picture and
// where it is used, the two eye textures, and whether the edit view may use a hardware device. It
// edits settings, not scene objects: after a change it asks the edit view (1127) to rebuild its
// device and viewports, which read the new values; the render command reads the same settings.
// On 1124 it shows the settings again.
//
// A child page of the main view's page host, as wide as the host makes it and of a fixed height;
// the application object points at it while it lives. The lens, the background switches and the
// three pictures are changes the edit view's undo history takes back, one step each.

#include <QWidget>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

#include "platform/win/WindowMessages.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class CPicturePreviewButton;
class COpenFileButton;

class CCameraDlg final : public win::CMessageWindow<QWidget> {
  public:
    explicit CCameraDlg(QWidget* parent);
    ~CCameraDlg() override;

    bool OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) override;

    // The message for a chosen file that no picture reader takes; the file's path follows it.
    static constexpr const char* kUnreadablePictureText =
        "画像として読み込めないファイルです。JPEG、PNG、BMP の画像を選んでください。\n";
    // The message for a chosen eye texture with a side above the textures' limit: the picture's
    // size, the limit, then the file's path.
    static std::string TooLargeTextureText(int width, int height, const std::string& path);

    // The height of the page; its width is the host's.
    static constexpr int kPageHeight = 490;

    // The lens list: its items, the view/field value each writes, and the item a stored value shows.
    static constexpr int kLensCount = 4;
    static const char* const kLensNames[kLensCount];
    // view/field of a lens item (any index out of the list writes the 50mm value).
    static float FieldOfLens(int index);
    // The item a view/field value reads back as (thresholds 4.1, 2.1, 1.1).
    static int LensOfField(float field);

    // The main frame's render-size display toggle (command 32788): it flips view/mask, updates the
    // toolbar and asks the edit view to rebuild. Without one the page switches view/mask itself.
    void SetRenderSizeToggle(std::function<void()> toggle) { m_renderSizeToggle = std::move(toggle); }

    // Shows the settings: the background switches, the three picture paths, the lens and the
    // hardware flag; puts the eye textures on the eyes of every part of the document.
    void RefreshDialog();
    // Derives bg/disable from bg/edit and bg/render and shows the two switches and what they enable.
    void UpdateBackgroundControls();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The three pictures the page chooses.
    enum Picture { kBackground, kLeftEye, kRightEye };

    void LayOut();
    win::LRESULT OnRefresh(win::WPARAM, win::LPARAM);
    void OnLensChosen(int index);
    void OnRenderSwitchClicked();
    void OnEditSwitchClicked();
    void OnChooseFile(Picture picture);
    void OnHardwareClicked();

    // Runs `change` and puts what it did to the named settings (section, key) into the undo
    // history as one step, leaving out the ones it did not change; no step when none changed.
    void RecordSettings(std::initializer_list<std::pair<const char*, const char*>> keys,
                        const std::function<void()>& change);

    static void PostSettingsChanged();

    static const win::MessageMapEntry<CCameraDlg> kMessageMap[1];

    QLabel* m_lensLabel;
    QComboBox* m_lens;  // 1040
    QGroupBox* m_backgroundGroup;
    QCheckBox* m_useForRender;  // 1057
    QCheckBox* m_useForEdit;    // 1018
    CPicturePreviewButton* m_previews[3];
    COpenFileButton* m_chooseButtons[3];  // 1042, 1044, 1046
    QGroupBox* m_leftEyeGroup;
    QGroupBox* m_rightEyeGroup;
    QGroupBox* m_deviceGroup;
    QCheckBox* m_hardware;  // 1060

    std::function<void()> m_renderSizeToggle;
};
