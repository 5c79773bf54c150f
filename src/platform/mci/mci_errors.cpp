#include "platform/mci/mci_errors.h"

namespace lumen::platform::mci {

std::string_view ErrorText(uint32_t code) {
  switch (code) {
    case MCIERR_INVALID_DEVICE_ID: return "指定されたデバイス ID は無効です。";
    case MCIERR_UNRECOGNIZED_KEYWORD: return "コマンドに認識できないパラメータがあります。";
    case MCIERR_UNRECOGNIZED_COMMAND: return "認識できないコマンドです。";
    case MCIERR_HARDWARE: return "デバイスでエラーが発生しました。音声出力とドライブを確認してください。";
    case MCIERR_INVALID_DEVICE_NAME: return "指定されたデバイスは開かれていないか、認識できません。";
    case MCIERR_DEVICE_OPEN: return "このデバイス名または別名は既に使われています。";
    case MCIERR_CANNOT_LOAD_DRIVER: return "デバイス ドライバを読み込めません。";
    case MCIERR_MISSING_COMMAND_STRING: return "コマンド文字列がありません。";
    case MCIERR_MISSING_STRING_ARGUMENT: return "コマンドに必要な文字列パラメータがありません。";
    case MCIERR_BAD_INTEGER: return "数値のパラメータが正しくありません。";
    case MCIERR_MISSING_PARAMETER: return "コマンドに必要なパラメータがありません。";
    case MCIERR_UNSUPPORTED_FUNCTION: return "このデバイスはこのコマンドを実行できません。";
    case MCIERR_FILE_NOT_FOUND: return "指定されたファイルが見つかりません。";
    case MCIERR_DEVICE_NOT_READY: return "デバイスの準備ができていません。ディスクを確認してください。";
    case MCIERR_INTERNAL: return "内部エラーが発生しました。";
    case MCIERR_OUTOFRANGE: return "指定された値が範囲外です。";
    case MCIERR_DUPLICATE_ALIAS: return "指定された別名は既に使われています。";
    case MCIERR_BAD_CONSTANT: return "パラメータの値が正しくありません。";
    case MCIERR_BAD_TIME_FORMAT: return "指定された時間の形式は使えません。";
    case MCIERR_NO_CLOSING_QUOTE: return "文字列を閉じる二重引用符がありません。";
    case MCIERR_INVALID_FILE: return "ファイルを再生できません。形式が正しくないか、壊れています。";
    case MCIERR_EXTRA_CHARACTERS: return "引用符で囲んだ文字列の後に余分な文字があります。";
    case MCIERR_DEVICE_NOT_INSTALLED: return "指定されたデバイスはこのシステムにありません。";
    default: return {};
  }
}

}  // namespace lumen::platform::mci
