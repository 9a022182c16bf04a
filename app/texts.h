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

// the report command without an open survey
// 調査定義ファイルが開かれていません
inline constexpr char MSG_NO_SURVEY_OPEN[] = "\x92\xB2\x8D\xB8\x92\xE8\x8B`\x83t\x83@\x83" "C\x83\x8B\x82\xAA\x8AJ\x82\xA9\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";

// the report of a survey's history (shown as UTF-8 in the HTML page)
// 順位レポート
inline constexpr char REPORT_TITLE[] = "\x8F\x87\x88\xCA\x83\x8C\x83|\x81[\x83g";

// サイト
inline constexpr char REPORT_SITE[] = "\x83T\x83" "C\x83g";

// エンジン
inline constexpr char REPORT_ENGINE[] = "\x83G\x83\x93\x83W\x83\x93";

// 調査回数
inline constexpr char REPORT_RUNS[] = "\x92\xB2\x8D\xB8\x89\xF1\x90\x94";

// 期間
inline constexpr char REPORT_PERIOD[] = "\x8A\xFA\x8A\xD4";

// 作成日時
inline constexpr char REPORT_WRITTEN_AT[] = "\x8D\xEC\x90\xAC\x93\xFA\x8E\x9E";

// 順位帯ごとのキーワード数
inline constexpr char REPORT_BANDS_HEADING[] = "\x8F\x87\x88\xCA\x91\xD1\x82\xB2\x82\xC6\x82\xCC\x83L\x81[\x83\x8F\x81[\x83h\x90\x94";

// 上位%d位
inline constexpr char FMT_REPORT_BAND[] = "\x8F\xE3\x88\xCA%d\x88\xCA";

// エンジン変更
inline constexpr char REPORT_ENGINE_CHANGE[] = "\x83G\x83\x93\x83W\x83\x93\x95\xCF\x8DX";

// キーワード別の順位
inline constexpr char REPORT_KEYWORDS_HEADING[] = "\x83L\x81[\x83\x8F\x81[\x83h\x95\xCA\x82\xCC\x8F\x87\x88\xCA";

// 現在の順位
inline constexpr char REPORT_CURRENT_RANK[] = "\x8C\xBB\x8D\xDD\x82\xCC\x8F\x87\x88\xCA";

// 前回比
inline constexpr char REPORT_CHANGE[] = "\x91O\x89\xF1\x94\xE4";

// 最高順位
inline constexpr char REPORT_BEST_RANK[] = "\x8D\xC5\x8D\x82\x8F\x87\x88\xCA";

// 推移
inline constexpr char REPORT_TREND[] = "\x90\x84\x88\xDA";

// 推移のグラフは上ほど高い順位で、途切れた所は圏外か未調査です。
inline constexpr char REPORT_TREND_NOTE[] = "\x90\x84\x88\xDA\x82\xCC\x83O\x83\x89\x83t\x82\xCD\x8F\xE3\x82\xD9\x82\xC7\x8D\x82\x82\xA2\x8F\x87\x88\xCA\x82\xC5\x81" "A\x93r\x90\xD8\x82\xEA\x82\xBD\x8F\x8A\x82\xCD\x8C\x97\x8AO\x82\xA9\x96\xA2\x92\xB2\x8D\xB8\x82\xC5\x82\xB7\x81" "B";

// 調査の一覧
inline constexpr char REPORT_RUNS_HEADING[] = "\x92\xB2\x8D\xB8\x82\xCC\x88\xEA\x97\x97";

// 開始
inline constexpr char REPORT_RUN_START[] = "\x8AJ\x8En";

// 記録数
inline constexpr char REPORT_RUN_RECORDS[] = "\x8BL\x98^\x90\x94";

// 調査の記録はまだありません。
inline constexpr char REPORT_NO_RUNS[] = "\x92\xB2\x8D\xB8\x82\xCC\x8BL\x98^\x82\xCD\x82\xDC\x82\xBE\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81" "B";

// a rank's change since the run before, in the report
// ランクイン
inline constexpr char CHANGE_NEWLY_RANKED[] = "\x83\x89\x83\x93\x83N\x83" "C\x83\x93";

// 圏外へ
inline constexpr char CHANGE_DROPPED_OUT[] = "\x8C\x97\x8AO\x82\xD6";

// →
inline constexpr char CHANGE_UNCHANGED[] = "\x81\xA8";

// ▲
inline constexpr char CHANGE_BETTER_MARK[] = "\x81\xA3";

// ▼
inline constexpr char CHANGE_WORSE_MARK[] = "\x81\xA5";

}  // namespace vexor::texts
