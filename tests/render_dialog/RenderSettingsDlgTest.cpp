#include "render/dialog/RenderSettingsDlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/SettingsStore.h"
#include "platform/win/ScriptedPrompts.h"

namespace {

void Retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

TEST(RenderSettingsDlg, OpensWithTheStoredValues) {
    CSettingsStore settings;
    settings.SetSettingInt("render", "width", 1600);
    settings.SetSettingInt("render", "height", 1200);
    settings.SetSettingInt("render", "antialias", 0);
    settings.SetSettingString("render", "name", "/tmp/out.bmp");
    CRenderSettingsDlg dlg(settings, nullptr);
    EXPECT_EQ(dlg.PresetList()->currentText(), QStringLiteral("1600x1200"));
    EXPECT_EQ(dlg.PathEdit()->text(), QStringLiteral("/tmp/out.bmp"));
    EXPECT_FALSE(dlg.AntialiasBox()->isChecked());
    EXPECT_FALSE(dlg.SmoothBox()->isChecked());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("レンダリング"));
    EXPECT_EQ(dlg.RenderButton()->text(), QStringLiteral("レンダリング"));

    CSettingsStore empty;
    CRenderSettingsDlg defaults(empty, nullptr);
    EXPECT_EQ(defaults.WidthEdit()->text(), QStringLiteral("640"));
    EXPECT_EQ(defaults.HeightEdit()->text(), QStringLiteral("480"));
    EXPECT_EQ(defaults.PresetList()->currentText(), QStringLiteral("640x480"));
    EXPECT_TRUE(defaults.AntialiasBox()->isChecked());
}

TEST(RenderSettingsDlg, SizeEditsAndPresetsFollowEachOther) {
    CSettingsStore settings;
    CRenderSettingsDlg dlg(settings, nullptr);
    dlg.show();
    struct Step {
        const char* action;  // "w", "h" or "p"
        QString value;
        QString width, height, preset;
    } steps[] = {
        {"w", "1024", "1024", "768", "1024x768"},
        {"h", "300", "400", "300", "User"},
        {"p", "320x240", "320", "240", "320x240"},
        {"w", "321", "321", "240", "User"},
        {"p", "User", "321", "240", "User"},
        {"h", "1200", "1600", "1200", "1600x1200"},
    };
    for (const auto& s : steps) {
        if (std::string(s.action) == "w") Retype(dlg.WidthEdit(), s.value);
        if (std::string(s.action) == "h") Retype(dlg.HeightEdit(), s.value);
        if (std::string(s.action) == "p") {
            const int index = dlg.PresetList()->findText(s.value);
            dlg.PresetList()->setCurrentIndex(index);
            emit dlg.PresetList()->activated(index);
        }
        EXPECT_EQ(dlg.WidthEdit()->text(), s.width) << s.action << " " << s.value.toStdString();
        EXPECT_EQ(dlg.HeightEdit()->text(), s.height) << s.action << " " << s.value.toStdString();
        EXPECT_EQ(dlg.PresetList()->currentText(), s.preset) << s.action << " " << s.value.toStdString();
    }
}

TEST(RenderSettingsDlg, OkWritesTheSettingsAndSmoothingAsksFirst) {
    CSettingsStore settings;
    win::ScopedPrompts prompts;
    prompts->fileAnswers = {std::string("/renders/pose.bmp")};
    CRenderSettingsDlg dlg(settings, nullptr);
    dlg.show();
    QTest::mouseClick(dlg.FilesButton(), Qt::LeftButton);
    EXPECT_EQ(dlg.PathEdit()->text(), QStringLiteral("/renders/pose.bmp"));
    Retype(dlg.WidthEdit(), "800");
    dlg.SmoothBox()->setChecked(true);

    prompts->messageAnswers = {win::IDCANCEL};
    QTest::mouseClick(dlg.RenderButton(), Qt::LeftButton);
    EXPECT_TRUE(dlg.isVisible()) << "cancelling the question keeps the dialog open";
    EXPECT_EQ(dlg.WidthEdit()->text(), QStringLiteral("800"));
    EXPECT_TRUE(settings.Values().empty()) << "nothing is written yet";

    prompts->messageAnswers = {win::IDOK};
    QTest::mouseClick(dlg.RenderButton(), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(prompts->MessageTexts().back(), "断面スムージングは処理に時間がかかります。\n続行しますか？");
    EXPECT_EQ(settings.GetSettingInt("render", "width", 0), 800);
    EXPECT_EQ(settings.GetSettingInt("render", "height", 0), 600);
    EXPECT_EQ(settings.GetSettingInt("render", "smooth", 0), 1);
    EXPECT_EQ(settings.GetSettingInt("render", "antialias", 0), 1);
    EXPECT_EQ(settings.GetSettingString("render", "name", ""), "/renders/pose.bmp");
}

// The chooser offers both formats and adds the default extension itself, before its overwrite
// question; the dialog takes its answer as it is, with no extension added afterwards.
TEST(RenderSettingsDlg, TheChooserOffersBmpAndPngAndAddsTheExtensionItself) {
    const struct {
        const char* current;
        const char* answer;
    } cases[] = {
        {"/renders/a.bmp", "/renders/b.png"},
        {"", "/renders/typed-without-extension"},
        {"/renders/c.png", "/renders/c.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.current);
        CSettingsStore settings;
        settings.SetSettingString("render", "name", c.current);
        win::ScopedPrompts prompts;
        prompts->fileAnswers = {std::string(c.answer)};
        CRenderSettingsDlg dlg(settings, nullptr);
        dlg.show();
        QTest::mouseClick(dlg.FilesButton(), Qt::LeftButton);
        ASSERT_EQ(prompts->asked.size(), 1u);
        const auto& asked = prompts->asked[0];
        EXPECT_EQ(asked.kind, "save");
        EXPECT_EQ(asked.caption, "ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp);;PNG (*.png)");
        EXPECT_EQ(asked.defaultSuffix, "bmp");
        EXPECT_EQ(asked.initial, c.current);
        EXPECT_EQ(dlg.PathEdit()->text(), QString::fromUtf8(c.answer));
    }
}

// Sizes as typed: only digits are taken, and neither edit, nor the size the other edit follows
// with, goes past the largest size; what is shown is what OK writes.
TEST(RenderSettingsDlg, TypedSizesStayWithinTheLimit) {
    static_assert(CRenderSettingsDlg::kMaxSize == 8192);
    const struct {
        const char* edit;  // "w" or "h"
        const char* typed;
        int width, height;
    } rows[] = {
        {"w", "8192", 8192, 6144},  {"w", "8193", 8192, 6144}, {"w", "99999", 8192, 6144},
        {"h", "6144", 8192, 6144},  {"h", "8192", 8192, 8192}, {"h", "99999", 8192, 8192},
        {"w", "12ab", 12, 9},       {"w", "-5", 5, 3},         {"w", "1e3", 13, 9},
        {"h", "x480", 640, 480},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.edit) + " " + r.typed);
        CSettingsStore settings;
        CRenderSettingsDlg dlg(settings, nullptr);
        dlg.show();
        Retype(std::string(r.edit) == "w" ? dlg.WidthEdit() : dlg.HeightEdit(), r.typed);
        EXPECT_EQ(dlg.WidthEdit()->text(), QString::number(r.width));
        EXPECT_EQ(dlg.HeightEdit()->text(), QString::number(r.height));
        QTest::mouseClick(dlg.RenderButton(), Qt::LeftButton);
        EXPECT_EQ(settings.GetSettingInt("render", "width", -1), r.width);
        EXPECT_EQ(settings.GetSettingInt("render", "height", -1), r.height);
    }
}



// The dialog as a person sees it: every control lies whole inside the dialog, apart from the
// others, with room for its content; in the picture, the Files... button shows its folder picture
// whole and the output path is drawn in its edit.
TEST(RenderSettingsDlg, ThePictureShowsEveryControlWhole) {
    CSettingsStore settings;
    settings.SetSettingString("render", "name", "/home/user/レンダリング/pose1.bmp");
    CRenderSettingsDlg dlg(settings, nullptr);
    dlg.show();
    const QImage picture = dlg.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), dlg.size());

    const QList<QWidget*> children = dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(children.size(), 14);
    for (const QWidget* c : children) {
        const std::string name = c->metaObject()->className();
        EXPECT_TRUE(dlg.rect().contains(c->geometry())) << name;
        if (const auto* box = qobject_cast<const QGroupBox*>(c)) {
            EXPECT_LT(box->fontMetrics().horizontalAdvance(box->title()), box->width()) << name;
            continue;
        }
        EXPECT_LE(c->minimumSizeHint().width(), c->width()) << name << " has no room for its content";
        EXPECT_LE(c->minimumSizeHint().height(), c->height()) << name << " has no room for its content";
        for (const QWidget* d : children) {
            if (d == c || qobject_cast<const QGroupBox*>(d)) continue;
            EXPECT_FALSE(c->geometry().intersects(d->geometry()))
                << name << " overlaps a " << d->metaObject()->className();
        }
    }

    // The folder picture: all of its face colour, and nothing of it outside the button.
    const QRgb folder = qRgb(240, 200, 80);
    auto countIn = [](const QImage& image, const QRect& area, QRgb colour) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) n += image.pixel(x, y) == colour;
        return n;
    };
    const QImage icon =
        dlg.FilesButton()->icon().pixmap(QSize(16, 14)).toImage().convertToFormat(QImage::Format_RGB32);
    const int iconFace = countIn(icon, icon.rect(), folder);
    ASSERT_GT(iconFace, 50);
    EXPECT_EQ(countIn(picture, dlg.FilesButton()->geometry(), folder), iconFace);
    EXPECT_EQ(countIn(picture, picture.rect(), folder), iconFace);

    // The path is drawn: the edit's area differs from that of a dialog without a path.
    CSettingsStore none;
    CRenderSettingsDlg empty(none, nullptr);
    empty.show();
    const QImage emptyPicture = empty.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(emptyPicture.size(), picture.size());
    const QRect edit = dlg.PathEdit()->geometry();
    int differing = 0;
    for (int y = edit.top(); y <= edit.bottom(); ++y)
        for (int x = edit.left(); x <= edit.right(); ++x)
            differing += picture.pixel(x, y) != emptyPicture.pixel(x, y);
    EXPECT_GT(differing, 200) << "the output path is not drawn";
}

}  // namespace
