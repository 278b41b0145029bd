#pragma once
// The archive's messages to the user (UTF-8; shown through win::MessageBox).

namespace archive::msg {

inline constexpr char kBrokenVolume[] =
    "ファイルが壊れているか、または正常にセットアップされていません。\n再セットアップが必要です。 (code:0DH)";
inline constexpr char kBrokenVolumeCaption[] = "データファイル異常";
inline constexpr char kInconsistentIndex[] = "VDシステム内部に矛盾(code:2)";
inline constexpr char kInternalErrorCaption[] = "内部エラー";
inline constexpr char kInsertDisc[] = "OvalithＤＩＳＫ２と書かれたＣＤを入れてください。";

inline constexpr char kNotInitialised[] = "CCommunicator が初期化されていません";
inline constexpr char kBadOutputName[] = "書き出しファイル名異常";
inline constexpr char kCannotOpenCaption[] = "ファイルが開けません";
inline constexpr char kCannotCreateCaption[] = "アーカイブを作成できません";
inline constexpr char kTooLargeCaption[] = "ファイルが大きすぎます";
inline constexpr char kLinkCycleCaption[] = "フォルダのリンクが循環しています";

inline constexpr char kBuildTitle[] = "DEBUGMODE：BUILD ARCHIVE";
inline constexpr char kMeasuringTitle[] = "圧縮率を計測しています。";
inline constexpr char kHeaderTitle[] = "ヘッダー領域を構築しています。";
inline constexpr char kMappingTitle[] = "マッピング情報を構築しています。";
inline constexpr char kDataTitle[] = "データ領域を構築しています。";

}  // namespace archive::msg
