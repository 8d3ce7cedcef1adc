#include "editor/shell/ShellCommands.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace editor {

namespace {

// The tool modes are the item kinds they draw (1 is the range selection).
constexpr std::array kCommands{
    CommandInfo{Command::NewForm, "新規作成(&N)", "新しい帳票パラメータを作る", "新規", "new", 0, true,
                "Ctrl+N"},
    CommandInfo{Command::OpenForm, "開く(&O)...", "帳票パラメータを開く", "開く", "open", 0, true, "Ctrl+O"},
    CommandInfo{Command::SaveForm, "保存(&S)", "帳票パラメータを保存する", "保存", "save", 0, true, "Ctrl+S"},
    CommandInfo{Command::SaveFormAs, "名前を付けて保存(&A)...", "帳票パラメータを別名で保存する",
                "名前をつけて保存", "", 0, true, ""},
    CommandInfo{Command::SampleData, "サンプルデータ(&D)...", "帳票のタグと見本の値を CSV ファイルに書き出す",
                "サンプルデータ", "", 0, true, ""},
    CommandInfo{Command::Exit, "終了(&X)", "プログラムを終了する", "終了", "", 0, true, ""},
    CommandInfo{Command::Undo, "元に戻す(&U)", "直前の操作を元に戻す", "元に戻す", "", 0, true, "Ctrl+Z"},
    CommandInfo{Command::Redo, "やり直し(&R)", "元に戻した操作をやり直す", "やり直し", "", 0, true,
                "Ctrl+Y; Ctrl+Shift+Z"},
    CommandInfo{Command::Cut, "切り取り(&T)", "選択範囲を切り取る", "切り取り", "cut", 0, true,
                "Ctrl+X; Shift+Del"},
    CommandInfo{Command::Copy, "複写(&C)", "選択範囲を複写する", "複写", "copy", 0, true, "Ctrl+C; Ctrl+Ins"},
    CommandInfo{Command::Paste, "貼り付け(&P)", "クリップボードの内容を貼り付ける", "貼り付け", "paste", 0,
                true, "Ctrl+V; Shift+Ins"},
    CommandInfo{Command::Delete, "削除(&D)", "選択範囲を削除する", "削除", "delete", 0, true, "Del"},
    CommandInfo{Command::SelectAll, "すべて選択(&A)", "選択できる項目をすべて選択する", "すべて選択", "", 0,
                true, "Ctrl+A"},
    CommandInfo{Command::ViewToolbar, "ツールバー(&T)", "ツールバーの表示/非表示を切り替える",
                "ツールバーの表示切替え", "", 0, true, ""},
    CommandInfo{Command::ViewStatusBar, "ステータスバー(&S)", "ステータスバーの表示/非表示を切り替える",
                "ステータスバーの表示切替え", "", 0, true, ""},
    CommandInfo{Command::ViewPartsPalette, "部品パレット(&P)", "部品パレットの表示/非表示を切り替える",
                "部品パレットの表示切替え", "", 0, true, ""},
    CommandInfo{Command::ViewEditPalette, "編集パレット(&E)", "編集パレットの表示/非表示を切り替える",
                "編集パレットの表示切替え", "", 0, true, ""},
    CommandInfo{Command::DisplayImage, "表示イメージ(&V)", "帳票イメージを表示する", "表示", "display-image",
                0, true, ""},
    CommandInfo{Command::PrintImage, "印刷イメージ(&P)", "帳票イメージを印刷する", "印刷", "print-image", 0,
                true, ""},
    CommandInfo{Command::DesignSheet, "設計用紙(&L)...", "設計用紙を印刷する", "設計用紙", "design-sheet", 0,
                true, ""},
    CommandInfo{Command::EntrySheet, "記入用紙(&F)...", "記入用紙を印刷する", "記入用紙", "entry-sheet", 0,
                true, ""},
    CommandInfo{Command::Options, "設定(&S)...", "部品の作成と前／次への移動の設定を変える", "設定", "", 0,
                true, ""},
    CommandInfo{Command::About, "バージョン情報(&A)...", "バージョンと著作権を表示する", "バージョン情報",
                "about", 0, true, ""},
    CommandInfo{Command::FormInfo, "", "帳票情報を登録する", "帳票情報", "form-info", 0, true, ""},
    CommandInfo{Command::RangeSelect, "", "登録された情報を範囲で選択する", "範囲選択", "range-select", 1,
                true, ""},
    CommandInfo{Command::FieldTool, "", "フィールドを登録する", "フィールド", "field", 11, true, ""},
    CommandInfo{Command::LineTool, "", "直線を登録する", "直線", "line", 21, true, ""},
    CommandInfo{Command::RectangleTool, "", "四角形を登録する", "四角形", "rectangle", 22, true, ""},
    CommandInfo{Command::BitmapTool, "", "ビットマップを登録する", "ビットマップ", "bitmap", 24, true, ""},
    CommandInfo{Command::BarcodeTool, "", "バーコードを登録する", "バーコード", "barcode", 25, true, ""},
};

constexpr std::array kToolbar{
    Command::NewForm,    Command::OpenForm,    Command::SaveForm,   kSeparator, Command::Cut,
    Command::Copy,       Command::Paste,       Command::Delete,     kSeparator, Command::DisplayImage,
    Command::PrintImage, Command::DesignSheet, Command::EntrySheet, kSeparator, Command::About};

constexpr std::array kPartsPalette{Command::FormInfo,   Command::RangeSelect,   Command::FieldTool,
                                   Command::LineTool,   Command::RectangleTool, Command::BitmapTool,
                                   Command::BarcodeTool};

} // namespace

std::span<const CommandInfo> shellCommands() {
    return kCommands;
}

const CommandInfo& commandInfo(Command id) {
    const auto row = std::find_if(kCommands.begin(), kCommands.end(),
                                  [id](const CommandInfo& info) { return info.id == id; });
    if (row == kCommands.end())
        std::abort(); // every enumerator has a row; a missing one is a programming error
    return *row;
}

std::span<const Command> toolbarButtons() {
    return kToolbar;
}
std::span<const Command> partsPaletteButtons() {
    return kPartsPalette;
}

} // namespace editor
