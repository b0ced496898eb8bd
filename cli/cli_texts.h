// What the command line prints, in both languages.
#pragma once

#include "session/text.h"

namespace tarn::cli_text {

constexpr Bilingual Help{
    "用法：tarn80x-cli [选项] <命令> [参数]\n"
    "\n"
    "在没有窗口的情况下读取、写入和比较六通道车载 DSP 的调音。\n"
    "\n"
    "命令：\n"
    "  list                      列出总线上的设备及其访问状态\n"
    "  info                      设备名称、固件版本和九个场景名称\n"
    "  dump [-o 文件]            读取设备当前设置；*.SCE 为场景文件，其他为调音文本（不写 -o "
    "时输出到标准输出）\n"
    "  apply 文件                把 *.SCE 或调音文本载入设备当前设置，读回并确认\n"
    "  diff A B                  逐项比较；A、B 为 *.SCE、调音文本、文件.ALL:N（第 N 个场景）或 "
    "unit\n"
    "  scenes                    设备中九个场景的名称和状态\n"
    "  scene save N [--name 名称] 把当前设置保存到场景 N\n"
    "  scene recall N            调用场景 N\n"
    "  scene delete N --yes      删除场景 N\n"
    "  backup 文件.ALL           把九个场景保存到文件\n"
    "  restore 文件.ALL --yes    把文件中的九个场景写入设备\n"
    "  firmware 文件 --yes       升级设备固件\n"
    "  history [--unit 设备]     "
    "本机保存的设备快照，按设备分组，最新的在前（每次改写设备之前自动保存）\n"
    "  history show N [-o 文件]  快照 N 的详情和设置（调音文本）；-o 把它保存为 *.SCE 或调音文本\n"
    "  history diff N M|unit     快照 N 与快照 M 或设备当前设置逐项比较\n"
    "  history restore N --yes   把快照 N 写入设备当前设置（设备当前状态先保存为快照）\n"
    "  devices                   声音服务器的输出和输入设备（测量时选用；不需要连接设备）\n"
    "  check [文件|unit]         检查调音中可能损坏喇叭或导致削波的设置（默认检查设备）；\n"
    "                            发现问题时退出状态为 1\n"
    "  autoeq --channel N --from 文件\n"
    "                            按测量曲线计算通道 N 的均衡，使其接近目标曲线；\n"
    "                            加 --apply --yes 写入设备\n"
    "\n"
    "选项：\n"
    "  --json                    以 JSON 输出（每次运行一个对象）\n"
    "  --lang zh|en              输出语言（默认取自系统区域设置）\n"
    "  -o, --output 文件         dump 和 history show 的输出文件\n"
    "  --unit 设备               history：只列出该设备的快照（序列号或列表中显示的设备标识）\n"
    "  --name 名称               scene save 的场景名称（默认保留原名称）\n"
    "  --yes                     确认删除、恢复、升级或 autoeq --apply（这些操作无法撤销）\n"
    "  --channel N               autoeq：通道，1 到 6\n"
    "  --from 文件               autoeq：该通道的测量曲线（每行频率和电平）\n"
    "  --target 目标             autoeq：flat（默认）、house、house:低频提升,高频斜率\n"
    "                            （dB、dB/oct）或频率与电平的文件\n"
    "  --max-boost DB            autoeq：最大提升，0 到 12（默认 6）\n"
    "  --mode peq|geq            autoeq：调整每段的频率、增益和 Q（默认），或只调增益\n"
    "  --apply                   autoeq：把均衡写入设备（需加 --yes；设备当前状态先保存为快照）\n"
    "  -h, --help                显示本帮助\n"
    "  --version                 显示版本\n"
    "\n"
    "进度显示在标准错误上（仅在终端中）。读取时按 Ctrl+C 会干净地停止；写入无法中断，会继续完成。\n"
    "\n"
    "退出状态：\n"
    "  0   完成\n"
    "  1   diff 发现差异；check 发现问题\n"
    "  2   命令行错误\n"
    "  3   没有设备、没有访问权限，或设备正被另一个程序使用\n"
    "  4   传输失败，或设备读回的内容与写入的不一致\n"
    "  5   文件被拒绝或无法写入\n"
    "  6   写入开始后被 Ctrl+C 中止：设备已被改动，但没有读回确认\n"
    "  7   无法连接声音服务器\n"
    "  130 读取时被 Ctrl+C 中止，没有写入任何文件\n",
    "Usage: tarn80x-cli [options] <command> [arguments]\n"
    "\n"
    "Reads, writes and compares the tune of the six-channel car-audio DSP without the window.\n"
    "\n"
    "Commands:\n"
    "  list                      units on the bus and whether they can be opened\n"
    "  info                      the unit's name, firmware version and nine scene names\n"
    "  dump [-o FILE]            the unit's live settings: *.SCE a scene file, any other name\n"
    "                            the tune text (standard output when -o is not given)\n"
    "  apply FILE                a *.SCE or tune text into the live settings, read back and\n"
    "                            confirmed\n"
    "  diff A B                  field by field; A and B each a *.SCE, a tune text,\n"
    "                            FILE.ALL:N (its scene N) or unit\n"
    "  scenes                    the nine stored scenes: names, used or empty\n"
    "  scene save N [--name NAME]  the live settings into stored scene N\n"
    "  scene recall N            stored scene N into the live settings\n"
    "  scene delete N --yes      deletes stored scene N\n"
    "  backup FILE.ALL           the nine stored scenes into a file\n"
    "  restore FILE.ALL --yes    the nine stored scenes of a file into the unit\n"
    "  firmware FILE --yes       upgrades the unit's firmware\n"
    "  history [--unit ID]       the snapshots kept on this machine, by unit, newest first (taken\n"
    "                            by themselves before every act that overwrites the unit)\n"
    "  history show N [-o FILE]  snapshot N in detail with its settings (tune text); -o saves it\n"
    "                            as a *.SCE or tune text instead\n"
    "  history diff N M|unit     snapshot N against snapshot M or the unit now, field by field\n"
    "  history restore N --yes   snapshot N into the live settings (the unit's present state is\n"
    "                            kept as a snapshot first)\n"
    "  devices                   the sound server's outputs and inputs, to measure with (no unit\n"
    "                            needed)\n"
    "  check [FILE|unit]         the tune checked for what can harm a speaker or clip (default:\n"
    "                            the unit); exit 1 when something is found\n"
    "  autoeq --channel N --from FILE\n"
    "                            bands for channel N that bring its measurement to a target;\n"
    "                            --apply --yes loads them into the unit\n"
    "\n"
    "Options:\n"
    "  --json                    machine-readable output (one JSON object per run)\n"
    "  --lang zh|en              language of the output (default: the locale's)\n"
    "  -o, --output FILE         where dump and history show write\n"
    "  --unit ID                 history: only this unit's snapshots (its serial number, or the\n"
    "                            identity the list shows after --unit)\n"
    "  --name NAME               scene save: the scene's name (default: the name it has)\n"
    "  --yes                     confirms a delete, restore, upgrade or autoeq --apply (none can\n"
    "                            be undone)\n"
    "  --channel N               autoeq: the channel, 1 to 6\n"
    "  --from FILE               autoeq: the channel's measurement (frequency and level a line)\n"
    "  --target T                autoeq: flat (default), house, house:SHELF,TILT (dB, dB/oct)\n"
    "                            or a FILE of frequency and level\n"
    "  --max-boost DB            autoeq: the largest boost, 0 to 12 (default 6)\n"
    "  --mode peq|geq            autoeq: frequency, gain and Q of every band (default), or the\n"
    "                            gains alone\n"
    "  --apply                   autoeq: loads the bands into the unit (with --yes; the unit's\n"
    "                            state is kept as a snapshot first)\n"
    "  -h, --help                this help\n"
    "  --version                 the version\n"
    "\n"
    "Progress goes to standard error (only on a terminal). Ctrl+C during a read stops cleanly; a\n"
    "write cannot be stopped and finishes.\n"
    "\n"
    "Exit status:\n"
    "  0   done\n"
    "  1   diff: differences found; check: something found\n"
    "  2   usage error\n"
    "  3   no unit, no access to it, or another program holds it\n"
    "  4   a transfer failed, or the unit does not hold what was sent\n"
    "  5   a file was refused or could not be written\n"
    "  6   stopped by Ctrl+C after a write began: the unit was changed and not confirmed\n"
    "  7   the sound server cannot be reached\n"
    "  130 stopped by Ctrl+C during a read; nothing was written\n"};

// devices: the sound server's outputs and inputs, a monitor (what an output plays) marked.
constexpr Bilingual SoundOutputs{"输出：", "Outputs:"};
constexpr Bilingual SoundInputs{"输入：", "Inputs:"};
constexpr Bilingual SoundMonitor{"（监听输出）", " (monitor of an output)"};
constexpr Bilingual SoundNone{"  （无）", "  (none)"};
constexpr Bilingual SoundServerAway{"无法连接声音服务器：%1", "Cannot reach the sound server: %1"};

constexpr Bilingual DemoHelp{
    "\n演示版选项：\n"
    "  --demo 状态               模拟设备的初始状态：tuned（默认）、factory、absent、locked、\n"
    "                            stuck（CH6 静音的存储单元失灵）\n"
    "  --demo-memory 文件        模拟设备的存储保存在此文件中，多次运行之间保留\n"
    "  --demo-unplug-after N     写入 N 帧后拔下模拟设备\n"
    "  --demo-interrupt-after N  写入 N 帧后如同按下 Ctrl+C\n"
    "  --demo-clock real|jump    模拟设备的等待按真实时间进行，或立即跳过（默认：info 和 apply\n"
    "                            用真实时间，其余跳过）\n",
    "\nDemo options:\n"
    "  --demo STATE              the simulated unit starts as tuned (default), factory, absent,\n"
    "                            locked or stuck (the cell of CH6's mute fails)\n"
    "  --demo-memory FILE        the simulated unit's memory and scenes, kept between runs\n"
    "  --demo-unplug-after N     the simulated unit is pulled out after N frames\n"
    "  --demo-interrupt-after N  Ctrl+C comes after N frames\n"
    "  --demo-clock real|jump    the simulated unit's waits take real time, or are skipped\n"
    "                            (default: real for info and apply, skipped for the rest)\n"};

constexpr Bilingual UnknownCommand{"未知命令：%1（见 --help）", "unknown command: %1 (see --help)"};
constexpr Bilingual NoCommand{"缺少命令（见 --help）", "no command given (see --help)"};
constexpr Bilingual WrongArguments{"%1：参数不正确（见 --help）",
                                   "%1: wrong arguments (see --help)"};
constexpr Bilingual BadLanguage{"--lang 只接受 zh 或 en", "--lang takes zh or en"};
constexpr Bilingual BadSceneNumber{"场景编号应为 1 到 9：%1", "a scene number is 1 to 9: %1"};
constexpr Bilingual NeedsYes{"%1 无法撤销：请加上 --yes 确认",
                             "%1 cannot be undone: add --yes to confirm"};
constexpr Bilingual DumpAllName{"dump 写入单个场景：请用 *.SCE 或调音文本文件名，而不是 *.ALL",
                                "dump writes one scene: name a *.SCE or a tune text, not a *.ALL"};
constexpr Bilingual NeedsAllName{"%1：文件名应以 .ALL 结尾", "%1: the file name must end in .ALL"};
constexpr Bilingual AllNeedsScene{"%1：请用 文件.ALL:N 指明第几个场景（1 到 9）",
                                  "%1: name the scene as FILE.ALL:N (1 to 9)"};

constexpr Bilingual StateOpened{"可以打开", "opened"};
constexpr Bilingual StateLocked{"已找到但无法打开", "found but locked"};
constexpr Bilingual StateInUse{"正被另一个程序使用", "in use by another program"};
constexpr Bilingual NoUnitListed{"USB 总线上没有调音设备（1a86:e010）。",
                                 "No DSP unit on the USB bus (1a86:e010)."};

constexpr Bilingual InfoName{"名称", "Name"};
constexpr Bilingual InfoFirmware{"固件版本", "Firmware version"};
constexpr Bilingual InfoScenes{"场景", "Scenes"};
constexpr Bilingual SceneUsed{"非空", "used"};
constexpr Bilingual SceneEmpty{"空", "empty"};

constexpr Bilingual Loading{"加载场景", "Loading"};
constexpr Bilingual Downloading{"读取场景", "Reading scenes"};
constexpr Bilingual Uploading{"写入场景", "Writing scenes"};
constexpr Bilingual Upgrading{"升级固件", "Upgrading"};
constexpr Bilingual Saved{"已保存：%1", "Saved: %1"};
constexpr Bilingual Applied{"设备已载入并确认：%1", "The unit holds %1 (read back and confirmed)."};
constexpr Bilingual NotHeld{"载入后读回的设置与文件不一致：",
                            "After the load the unit does not hold the file's settings:"};
// What a stopped transfer leaves, after why it stopped (the window's notices say it reconnects,
// which the command line does not).
constexpr Bilingual NoAnswer{"设备无响应。", "The unit stopped answering."};
constexpr Bilingual LoadStopped{"加载已中止，设备中可能只有部分新数据。",
                                "The load was stopped; the unit may hold part of it."};
constexpr Bilingual DownloadStopped{"读取已中止，没有写入任何文件。",
                                    "Reading was stopped; no file was written."};
constexpr Bilingual UnitNotChanged{"读取已中止，设备未被改动。",
                                   "Reading was stopped; the unit was not changed."};
constexpr Bilingual UpgradeStopped{"固件升级已中止！请再次升级。",
                                   "The upgrade was stopped; run it again."};
constexpr Bilingual StoppedUnconfirmed{
    "已中止（Ctrl+C）：写入已经开始，设备已被改动，但没有读回确认。",
    "Stopped (Ctrl+C) after the write began: the unit was changed and not confirmed."};
constexpr Bilingual FileMissing{"%1：文件不存在，未加载。",
                                "%1: no such file; nothing was loaded."};
constexpr Bilingual FileNotReadable{"%1：没有读取该文件的权限，未加载。",
                                    "%1: no permission to read it; nothing was loaded."};
constexpr Bilingual EmptyPlace{"该文件中的场景 %1 是空的", "scene %1 is empty in this file"};
constexpr Bilingual Same{"没有差异。", "No differences."};
constexpr Bilingual Differences{"%1 处差异。", "%1 differences."};
constexpr Bilingual SceneDeleted{"场景 %1 已删除。", "Scene %1 deleted."};
constexpr Bilingual RestoreDone{"九个场景已写入设备并重新读取。",
                                "The nine scenes were written; the unit has been read back."};
constexpr Bilingual UnitNotBack{"升级后设备没有在规定时间内重新连接。",
                                "The unit did not come back in time after the upgrade."};
constexpr Bilingual UpgradeBack{"设备已重新连接，固件版本 %1。",
                                "The unit is back, firmware version %1."};

// The history.
constexpr Bilingual HistoryEmpty{"历史记录中没有快照。", "The history holds no snapshots."};
constexpr Bilingual NoSnapshot{"历史记录中没有快照 %1", "no snapshot %1 in the history"};
// %1 the unit as shown, %2 what --unit takes.
constexpr Bilingual UnitHeading{"%1（--unit %2）：", "%1 (--unit %2):"};
constexpr Bilingual Settings{"设置", "Settings"};
constexpr Bilingual SnapshotTitle{"快照 %1", "Snapshot %1"};
constexpr Bilingual Yes{"是", "yes"};
constexpr Bilingual No{"否", "no"};
constexpr Bilingual KeptScenes{"保存的场景", "Stored scenes kept"};
constexpr Bilingual HistoryRestored{"设备已载入快照 %1 并确认。",
                                    "The unit holds snapshot %1 (read back and confirmed)."};

// The safety check and automatic equalisation.
constexpr Bilingual CheckNone{"没有发现问题。", "Nothing found."};
constexpr Bilingual CheckFound{"发现 %1 处问题（仅为提醒，不阻止任何操作）。",
                               "%1 found (warnings: nothing is blocked)."};
constexpr Bilingual AutoEqNeeds{"autoeq 需要 --channel 和 --from",
                                "autoeq needs --channel and --from"};
constexpr Bilingual AutoEqOnly{"%1 只用于 autoeq", "%1 is for autoeq only"};
constexpr Bilingual BadChannel{"--channel 应为 1 到 6：%1", "--channel is 1 to 6: %1"};
constexpr Bilingual BadTarget{"--target 应为 flat、house、house:低频提升,高频斜率 或文件：%1",
                              "--target is flat, house, house:SHELF,TILT or a file: %1"};
constexpr Bilingual BadMaxBoost{"--max-boost 应为 0 到 12 dB：%1", "--max-boost is 0 to 12 dB: %1"};
constexpr Bilingual BadMode{"--mode 应为 peq 或 geq：%1", "--mode is peq or geq: %1"};
constexpr Bilingual FitBandsTitle{"CH%1 的均衡（%2）：", "Bands of CH%1 (%2):"};
constexpr Bilingual FitAllFlat{"所有段保持平直。", "Every band stays flat."};
constexpr Bilingual FitCheckTitle{"使用这些均衡后的安全检查：", "Safety check with these bands:"};
constexpr Bilingual FitNotApplied{
    "未写入设备（加上 --apply --yes 写入）。",
    "Not applied (add --apply --yes to load the bands into the unit)."};
constexpr Bilingual FitApplied{"设备已载入 CH%1 的新均衡并确认。",
                               "The unit holds the new bands of CH%1 (read back and confirmed)."};

} // namespace tarn::cli_text
