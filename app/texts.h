// The program's own texts, as code page 932 bytes.
// Kept as byte escapes so that every compiler (g++, MinGW g++, clang) produces the same bytes
// whatever its execution character set; the UTF-8 form of each text stands beside it.
#pragma once

namespace vexor::texts {

// caption of the main window and of every question box
// nuqランキング調査
inline constexpr char APP_TITLE[] = "nuq\x83\x89\x83\x93\x83L\x83\x93\x83O\x92\xB2\x8D\xB8";

// 調査中です
inline constexpr char MSG_BUSY[] = "\x92\xB2\x8D\xB8\x92\x86\x82\xC5\x82\xB7";

// 取得中: %d
inline constexpr char FMT_PROGRESS[] = "\x8E\xE6\x93\xBE\x92\x86: %d";

// 中止しました
inline constexpr char TEXT_ABORTED[] = "\x92\x86\x8E~\x82\xB5\x82\xDC\x82\xB5\x82\xBD";

// -
inline constexpr char TEXT_NOT_FOUND[] = "-";

// エンジンファイルの切り替え(&C)
inline constexpr char MENU_ENGINE_SWITCH[] = "\x83G\x83\x93\x83W\x83\x93\x83t\x83@\x83" "C\x83\x8B\x82\xCC\x90\xD8\x82\xE8\x91\xD6\x82\xA6(&C)";

// "%s" の読み込みに失敗しました
inline constexpr char FMT_ENGINE_READ_FAILED[] = "\"%s\" \x82\xCC\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x82\xC9\x8E\xB8\x94s\x82\xB5\x82\xDC\x82\xB5\x82\xBD";

// "%s" への書き込みに失敗しました
inline constexpr char FMT_ENGINE_WRITE_FAILED[] = "\"%s\" \x82\xD6\x82\xCC\x8F\x91\x82\xAB\x8D\x9E\x82\xDD\x82\xC9\x8E\xB8\x94s\x82\xB5\x82\xDC\x82\xB5\x82\xBD";

// "%s" は既に存在します。\n上書きしますか？
inline constexpr char FMT_ENGINE_OVERWRITE[] = "\"%s\" \x82\xCD\x8A\xF9\x82\xC9\x91\xB6\x8D\xDD\x82\xB5\x82\xDC\x82\xB7\x81" "B\n\x8F\xE3\x8F\x91\x82\xAB\x82\xB5\x82\xDC\x82\xB7\x82\xA9\x81H";

// エンジン定義ファイル(*.eng)
inline constexpr char FILTER_ENGINE_FILES[] = "\x83G\x83\x93\x83W\x83\x93\x92\xE8\x8B`\x83t\x83@\x83" "C\x83\x8B(*.eng)";

// 全てのファイル(*.*)
inline constexpr char FILTER_ALL_FILES[] = "\x91S\x82\xC4\x82\xCC\x83t\x83@\x83" "C\x83\x8B(*.*)";

// テキストファイル(*.txt)
inline constexpr char FILTER_TEXT_FILES[] = "\x83" "e\x83L\x83X\x83g\x83t\x83@\x83" "C\x83\x8B(*.txt)";

// status label of the engine edit dialog
// 未学習
inline constexpr char TEXT_NOT_LEARNT[] = "\x96\xA2\x8Aw\x8FK";

// 最終学習日時: %s %s
inline constexpr char FMT_LEARNT_AT[] = "\x8D\xC5\x8FI\x8Aw\x8FK\x93\xFA\x8E\x9E: %s %s";

// 未学習です。このままでは調査できません。\n編集を終了しますか？
inline constexpr char MSG_SAVE_UNLEARNT[] = "\x96\xA2\x8Aw\x8FK\x82\xC5\x82\xB7\x81" "B\x82\xB1\x82\xCC\x82\xDC\x82\xDC\x82\xC5\x82\xCD\x92\xB2\x8D\xB8\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x81" "B\n\x95\xD2\x8FW\x82\xF0\x8FI\x97\xB9\x82\xB5\x82\xDC\x82\xB7\x82\xA9\x81H";

// 未記入の必須項目があります
inline constexpr char MSG_REQUIRED_MISSING[] = "\x96\xA2\x8BL\x93\xFC\x82\xCC\x95K\x90{\x8D\x80\x96\xDA\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB7";

// URL の作成に失敗しました。\n2 ページ目の URL と 3 ページ目の URL を確認してください。
inline constexpr char MSG_ADDRESS_FAILED[] = "URL \x82\xCC\x8D\xEC\x90\xAC\x82\xC9\x8E\xB8\x94s\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81" "B\n2 \x83y\x81[\x83W\x96\xDA\x82\xCC URL \x82\xC6 3 \x83y\x81[\x83W\x96\xDA\x82\xCC URL \x82\xF0\x8Am\x94" "F\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81" "B";

// 学習に失敗しました
inline constexpr char MSG_LEARN_FAILED[] = "\x8Aw\x8FK\x82\xC9\x8E\xB8\x94s\x82\xB5\x82\xDC\x82\xB5\x82\xBD";

// 学習に成功しました
inline constexpr char MSG_LEARN_SUCCEEDED[] = "\x8Aw\x8FK\x82\xC9\x90\xAC\x8C\xF7\x82\xB5\x82\xDC\x82\xB5\x82\xBD";

// キーワード
inline constexpr char CAPTION_KEYWORD[] = "\x83L\x81[\x83\x8F\x81[\x83h";

// 順位
inline constexpr char CAPTION_RANK[] = "\x8F\x87\x88\xCA";

// 履歴
inline constexpr char CAPTION_HISTORY[] = "\x97\x9A\x97\xF0";

// window title when a survey is open but no engine file is current
//  (エンジン未定義) - 
inline constexpr char TITLE_NO_ENGINE[] = " (\x83G\x83\x93\x83W\x83\x93\x96\xA2\x92\xE8\x8B`) - ";

// follows the quoted path of a survey file that failed to open
// の読み込みに失敗しました。
inline constexpr char MSG_SURVEY_READ_FAILED_TAIL[] = "\x82\xCC\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x82\xC9\x8E\xB8\x94s\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81" "B";

// 未学習です
inline constexpr char MSG_NOT_LEARNT[] = "\x96\xA2\x8Aw\x8FK\x82\xC5\x82\xB7";

// エンジンファイルの編集
inline constexpr char EDIT_DIALOG_TITLE[] = "\x83G\x83\x93\x83W\x83\x93\x83t\x83@\x83" "C\x83\x8B\x82\xCC\x95\xD2\x8FW";

// Default engine file and settings file, relative to the working directory.
inline constexpr char DEFAULT_ENGINE_PATH[] = "engine\\nuq.eng";
inline constexpr char SETTINGS_FILE[] = "vexor.ini";
inline constexpr char ENGINE_FOLDER[] = "engine";

}  // namespace vexor::texts
