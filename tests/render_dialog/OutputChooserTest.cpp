// The render settings dialog's output chooser as the application shows it (the Qt save chooser,
// driven through its own widgets): a name typed without an extension gets the extension of the
// filter shown before the chooser asks about replacing a file, so the question names the file
// that the render will really write.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "core/SettingsStore.h"
#include "platform/win/QtPrompts.h"
#include "render/dialog/RenderSettingsDlg.h"

namespace {

// Runs `step` on the first modal window of kind T, from inside that window's own event loop.
template <typename T>
void WhenModal(std::function<void(T*)> step) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, step] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window) return;
        timer->stop();
        timer->deleteLater();
        step(window);
    });
    timer->start();
}

class PromptsInstalled {
  public:
    PromptsInstalled() : m_previous(win::InstallPrompts(std::make_unique<win::QtPrompts>())) {}
    ~PromptsInstalled() { win::InstallPrompts(std::move(m_previous)); }

  private:
    std::unique_ptr<win::UserPrompts> m_previous;
};

void TouchFile(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old");
}

}  // namespace

TEST(OutputChooser, TheOverwriteQuestionIsAboutTheFileWithItsExtension) {
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    const struct {
        const char* filter;    // the filter the person picks ("": the one shown first)
        const char* current;   // the output path shown in the dialog before
        const char* existing;  // the file already in the folder
        const char* typed;
        const char* written;  // the file the chooser answers with after "replace"
    } cases[] = {
        {"", "", "out.bmp", "out", "out.bmp"},
        {"PNG (*.png)", "", "out.png", "out", "out.png"},
        {"", "shown.png", "next.png", "next", "next.png"},  // opens on the PNG filter
        {"", "", "named.png", "named.png", "named.png"},    // a typed extension stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed + std::string(" ") + c.filter + " " + c.current);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        TouchFile(dir.filePath(QString::fromUtf8(c.existing)));
        CSettingsStore settings;
        settings.SetSettingString("render", "name",
                                  *c.current ? dir.filePath(QString::fromUtf8(c.current)).toStdString()
                                             : dir.filePath(QStringLiteral("first.bmp")).toStdString());
        PromptsInstalled prompts;
        CRenderSettingsDlg dlg(settings, nullptr);
        dlg.show();

        QString question;
        const QString typed = QString::fromUtf8(c.typed);
        const QString filter = QString::fromUtf8(c.filter);
        WhenModal<QFileDialog>([&](QFileDialog* chooser) {
            if (!filter.isEmpty()) {
                auto* types = chooser->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                ASSERT_NE(types, nullptr);
                const int index = types->findText(filter);
                ASSERT_GE(index, 0);
                types->setCurrentIndex(index);
                emit types->activated(index);
                emit types->textActivated(filter);
            }
            auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(typed);
            // First answer No: the chooser stays; then Yes.
            WhenModal<QMessageBox>([&](QMessageBox* box) {
                question = box->text();
                box->button(QMessageBox::No)->click();
            });
            QTest::keyClick(name, Qt::Key_Return);
            ASSERT_TRUE(chooser->isVisible()) << "No keeps the chooser open";
            WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
            QTest::keyClick(name, Qt::Key_Return);
        });
        QTest::mouseClick(dlg.FilesButton(), Qt::LeftButton);

        EXPECT_TRUE(question.contains(QString::fromUtf8(c.written))) << question.toStdString();
        EXPECT_EQ(dlg.PathEdit()->text(), dir.filePath(QString::fromUtf8(c.written)));
    }
}

TEST(OutputChooser, TheSuffixOfAFilter) {
    const struct {
        const char* filter;
        const char* suffix;
    } cases[] = {
        {"ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)", "bmp"}, {"PNG (*.png)", "png"}, {"JPEG (*.jpg *.jpeg)", "jpg"},
        {"全て (*)", ""},            {"(*.tar.gz)", "tar.gz"}, {"odd (*.b*)", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(win::QtPrompts::SuffixOfFilter(QString::fromUtf8(c.filter)), QString::fromUtf8(c.suffix))
            << c.filter;
}
