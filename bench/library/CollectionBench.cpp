// Selecting a category whose list has 30 entries: reading plist.txt, decoding the 30 thumbnails
// and drawing the list image, beside decoding the same 30 thumbnails alone. The thumbnails are the
// sample library's own (pose sets and props, repeated), in an archive folder of their own.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "archive/ArchiveContext.h"
#include "archive/Communicator.h"
#include "core/MainApp.h"
#include "library/CollectionList.h"
#include "platform/surface/DirectDraw.h"
#include "render/bitmap/JpegSurface.h"
#include "scene/PartListFile.h"

namespace {

constexpr int kEntries = 30;
constexpr int kWindowWidth = 180;

struct ThirtyEntryList {
    QTemporaryDir dir;
    CCommunicator archive;
    surface::Ref<surface::DirectDraw> directDraw = surface::DirectDraw::Create();

    ThirtyEntryList() {
        CMainApp* app = GetApp();
        app->SetAppFolder(QCoreApplication::applicationDirPath().toStdString() + "/");
        app->OpenArchive();
        std::vector<std::string> thumbnails;
        for (const std::string& folder : {std::string(), std::string("PROP\\")}) {
            std::size_t length = 0;
            const char* text = app->GetArchive().Read(folder + "plist.txt", length);
            if (!text) continue;
            for (const auto& entry : scene::ParsePartList(std::string_view(text, length), folder)) {
                const char* bytes = app->GetArchive().Read(entry.thumbnailPath, length);
                if (bytes) thumbnails.emplace_back(bytes, length);
            }
        }
        if (thumbnails.empty()) std::abort();
        const std::string folder = dir.path().toStdString() + "/";
        std::string list;
        for (int i = 0; i < kEntries; ++i) {
            const std::string name = "t" + std::to_string(i) + ".jpg";
            QFile file(QString::fromStdString(folder + name));
            if (!file.open(QIODevice::WriteOnly)) std::abort();
            const std::string& bytes = thumbnails[static_cast<std::size_t>(i) % thumbnails.size()];
            file.write(bytes.data(), static_cast<qint64>(bytes.size()));
            list += "part" + std::to_string(i) + ".x|" + name + "|entry " + std::to_string(i) + "\r\n";
        }
        QFile plist(QString::fromStdString(folder + "plist.txt"));
        if (!plist.open(QIODevice::WriteOnly)) std::abort();
        plist.write(list.data(), static_cast<qint64>(list.size()));
        plist.close();
        ArchiveContext context;
        context.appFolder = folder;
        archive.Open(folder + "nowhere/disk1.vd|", folder + "|", ".X;.TXT;", context);
    }
};

ThirtyEntryList& List() {
    static ThirtyEntryList list;
    return list;
}

void BM_SelectCategory30(benchmark::State& state) {
    ThirtyEntryList& list = List();
    for (auto _ : state) {
        const auto entries = collection::ReadPartList(list.archive, "");
        auto image = collection::BuildListImage(*list.directDraw, list.archive, entries, kWindowWidth);
        if (entries.size() != kEntries || !image) state.SkipWithError("the list did not load");
        benchmark::DoNotOptimize(image);
    }
}

void BM_DecodeThumbnails30(benchmark::State& state) {
    ThirtyEntryList& list = List();
    const auto entries = collection::ReadPartList(list.archive, "");
    for (auto _ : state) {
        for (const auto& entry : entries) {
            std::size_t length = 0;
            const char* bytes = list.archive.Read(entry.thumbnailPath, length);
            auto picture = bitmap::DecodeJpeg(
                *list.directDraw, std::span(reinterpret_cast<const std::uint8_t*>(bytes), length));
            if (!picture) state.SkipWithError("a thumbnail did not decode");
            benchmark::DoNotOptimize(picture);
        }
    }
}

}  // namespace

BENCHMARK(BM_SelectCategory30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeThumbnails30)->Unit(benchmark::kMillisecond);
