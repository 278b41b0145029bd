#pragma once
// Code page 932 texts that the scene compares with data or puts into the tree (tree texts, general
// names and labels stay in the archive's encoding).

namespace scene {

// "キャラクタ": the character entry of the tree.
inline constexpr char kCharacterLabel[] = "\x83\x4C\x83\x83\x83\x89\x83\x4E\x83\x5E";
// "処理中": a new option entry while its part loads.
inline constexpr char kLoadingLabel[] = "\x8F\x88\x97\x9D\x92\x86";
// "左目": general name of the left eye.
inline constexpr char kLeftEye[] = "\x8D\xB6\x96\xDA";
// "右目": general name of the right eye.
inline constexpr char kRightEye[] = "\x89\x45\x96\xDA";
// "肌": general name of the skin meshes.
inline constexpr char kSkin[] = "\x94\xA7";
// "太陽光": tree label of the sun.
inline constexpr char kSunLabel[] = "\x91\xBE\x97\x7A\x8C\xF5";
// "点光源１": tree label of point light 1.
inline constexpr char kPoint1Label[] = "\x93\x5F\x8C\xF5\x8C\xB9\x82\x50";
// "点光源２": tree label of point light 2.
inline constexpr char kPoint2Label[] = "\x93\x5F\x8C\xF5\x8C\xB9\x82\x51";
// "点光源３": tree label of point light 3.
inline constexpr char kPoint3Label[] = "\x93\x5F\x8C\xF5\x8C\xB9\x82\x52";

}  // namespace scene
