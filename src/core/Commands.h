#pragma once
// Command ids of the menus and the toolbar.

enum CommandId : int {
    // The toolbar's 回転: the edit view's rotate command (its "回転", view/3DView.h), which the
    // toolbar button turns on and off again.
    ID_EDIT_ROTATE_MODE = 32773,
    ID_FILE_RENDER = 32774,  // File menu "render", handled by the main view
    ID_EDIT_FREE = 32777,
    ID_EDIT_X = 32778,
    ID_EDIT_Y = 32779,
    ID_EDIT_Z = 32780,
    ID_VIEW_POINTS = 32781,
    ID_VIEW_WIREFRAME = 32782,
    ID_VIEW_FLAT = 32783,
    ID_VIEW_GOURAUD = 32784,
    ID_RENDER = 32785,
    ID_SMOOTH = 32786,
    ID_VIEW_SIMPLE = 32787,
    ID_VIEW_RENDER_SIZE = 32788,
    ID_HELP = 32789,
    ID_APPLY_COLLECTION = 32794,
    ID_VIEW_OPEN_POSE_SET = 32796,  // 表示 > "ポーズセットを開く..."
    ID_EDIT_IK = 32800,             // the IK edit mode (toolbar and the edit view's menu)
    ID_EDIT_MIRROR = 32801,         // "左右反転コピー"
    ID_EDIT_SWAP_SIDES = 32802,     // "左右入れ替え"
    ID_FILE_SAVE_POSE = 32810,      // ﾌｧｲﾙ > "ポーズの保存..."
    ID_FILE_LOAD_POSE = 32811,      // ﾌｧｲﾙ > "ポーズの読み込み..."
    // 表示 > "視点": the edit camera's standard views, framing and its new scene's place.
    ID_VIEW_CAMERA_FRONT = 32820,   // "正面"
    ID_VIEW_CAMERA_BACK = 32821,    // "背面"
    ID_VIEW_CAMERA_RIGHT = 32822,   // "右"
    ID_VIEW_CAMERA_LEFT = 32823,    // "左"
    ID_VIEW_CAMERA_TOP = 32824,     // "上"
    ID_VIEW_CAMERA_BOTTOM = 32825,  // "下"
    ID_VIEW_FRAME_ALL = 32826,      // "全体を表示"
    ID_VIEW_FRAME_SELECTED = 32827, // "選択部分を表示"
    ID_VIEW_CAMERA_RESET = 32828,   // "視点を戻す"
    ID_VIEW_FLOOR_GRID = 32830,     // 表示 > "床グリッド" (setting view/grid)
    ID_VIEW_ADD_FIGURE = 32831,     // 表示 > "キャラクタを追加..." (and the toolbar)
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_MRU_FIRST = 57616,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_VIEW_TOOLBAR = 59392,
};
