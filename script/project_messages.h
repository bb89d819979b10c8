// Every message, caption and default prompt of the running project, in one place. Each
// function returns the code page 932 text the player shows.
#pragma once

#include <string>

#include "platform/text_encoding.h"

namespace mobu {

// Captions.
inline std::string WarningCaption() { return SysText(u8"警告"); }
inline std::string InformationCaption() { return SysText(u8"情報"); }

// The project's title until the project file names one.
inline std::string DefaultTitle() { return SysText(u8"情報"); }

// The two prompts of multi-disk games, until the project file replaces them. "%d" stands
// for the disk number.
inline std::string DefaultDiskPrompt() { return SysText(u8"ディスク%dを入れてから[OK]をクリックしてください"); }
inline std::string DefaultExitPrompt() { return SysText(u8"終了します"); }

// "mobu.mpb" is empty or damaged.
inline std::string NoProjectMessage() { return SysText(u8"プロジェクトがありません"); }
// "mobu.mpb" comes from a newer authoring tool.
inline std::string UnsupportedVersionMessage() { return SysText(u8"このバージョンには対応していません"); }
// The start page is not in the game data.
inline std::string NoStartPageMessage() { return SysText(u8"スタートページがありません"); }

// "install.dat" is missing or damaged.
inline std::string ReinstallMessage() { return SysText(u8"インストールし直してください"); }
// No disk of this game in any CD-ROM drive.
inline std::string InsertDiskMessage() { return SysText(u8"ディスクを入れてください"); }
// The game needs its first disk at start.
inline std::string InsertFirstDiskMessage() { return SysText(u8"１枚目のディスクを入れて「OK」をクリックしてください"); }

// The folder for the save file cannot be created.
inline std::string CannotCreateDataFileMessage() { return SysText(u8"データファイルを作成することができません"); }
// No folder takes the save file: the game runs with saving off (cp932 path and reason).
inline std::string SavingOffMessage(const std::string& path, const std::string& reason)
{
    return SysText(u8"セーブできません: ") + path + "\r\n" + reason;
}

}  // namespace mobu
