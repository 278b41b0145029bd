#pragma once
// Messages of the scene file commands (UTF-8, shown through the prompt seam).

namespace scene::msg {

inline constexpr char kSceneCaption[] = "ｼｰﾝﾃﾞｰﾀ";
inline constexpr char kCannotOpen[] = "ファイルを開けません。";
inline constexpr char kCannotSave[] = "ファイルを保存できません。";
inline constexpr char kForeignFile[] = "このファイルはシーンデータではありません。";
inline constexpr char kNewerVersion[] = "このシーンデータは新しいバージョンで作成されているため開けません。";
inline constexpr char kDamagedFile[] = "シーンデータが壊れているため、読み込みを中止しました。";
// Figures of a scene file that could not be opened with it; a line per figure follows.
inline constexpr char kFiguresLeftOut[] = "次のキャラクタは読み込めませんでした。";
inline constexpr char kTooManyFigures[] = "一つのシーンに置けるキャラクタは 8 体までです";
inline constexpr char kPoseSetMissing[] = "ポーズセット\"%s\"が見つかりません";

}  // namespace scene::msg
