// The render settings dialog in other fonts than the one CI has: whatever face the system gives for
// the dialog's "Terminal", every control gets the room its content needs, and none overlaps another.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QGroupBox>
#include <QStringList>

#include "core/SettingsStore.h"
#include "render/dialog/RenderSettingsDlg.h"

namespace {

// Stands the given family in for "Terminal" while it lives.
class TerminalFont {
  public:
    explicit TerminalFont(const QString& family) : m_saved(QFont::substitutes(QStringLiteral("Terminal"))) {
        QFont::removeSubstitutions(QStringLiteral("Terminal"));
        QFont::insertSubstitution(QStringLiteral("Terminal"), family);
    }
    ~TerminalFont() {
        QFont::removeSubstitutions(QStringLiteral("Terminal"));
        QFont::insertSubstitutions(QStringLiteral("Terminal"), m_saved);
    }

  private:
    QStringList m_saved;
};

TEST(RenderSettingsDlgFonts, EveryControlHasRoomForItsContentInAnyFont) {
    // Wide and tall faces, a serif, the Japanese face and one that does not exist (the system's
    // fallback).
    for (const char* family : {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono", "IPAGothic", "IPAPGothic",
                               "Nimbus Sans Narrow", "No Such Face"}) {
        SCOPED_TRACE(family);
        TerminalFont font{QString::fromLatin1(family)};
        CSettingsStore settings;
        settings.SetSettingString("render", "name", "/home/user/レンダリング/pose1.bmp");
        CRenderSettingsDlg dlg(settings, nullptr);
        dlg.show();
        SCOPED_TRACE("shown in " + QFontInfo(dlg.font()).family().toStdString());
        const QList<QWidget*> children = dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (const QWidget* c : children) {
            const std::string name = c->metaObject()->className();
            EXPECT_TRUE(dlg.rect().contains(c->geometry())) << name;
            EXPECT_LE(c->minimumSizeHint().width(), c->width()) << name << " has no room for its content";
            EXPECT_LE(c->minimumSizeHint().height(), c->height()) << name << " has no room for its content";
            if (qobject_cast<const QGroupBox*>(c)) continue;
            for (const QWidget* d : children) {
                if (d == c || qobject_cast<const QGroupBox*>(d)) continue;
                EXPECT_FALSE(c->geometry().intersects(d->geometry()))
                    << name << " overlaps a " << d->metaObject()->className();
            }
        }
    }
}

}  // namespace
