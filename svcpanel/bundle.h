// The bundle's vocabulary: file names, placeholder tokens, the probe's marker
// and the panel's captions, spelled exactly as the bundle and users know them.
#pragma once

namespace svcpanel {

// Scripts and files, relative to the program's folder.
inline constexpr wchar_t kPortScript[] = L"\\Ext\\B_Port.bat";
inline constexpr wchar_t kStopScript[] = L"\\Ext\\B_Stop.bat";
inline constexpr wchar_t kStartScript[] = L"\\Ext\\B_Start.bat";
inline constexpr wchar_t kProbeResult[] = L"\\Ext\\T_Port.txt";

// Templates and the files the panel makes from them.
inline constexpr wchar_t kStartTemplate[] = L"\\Ext\\B_Start.ini";
inline constexpr wchar_t kStopTemplate[] = L"\\Ext\\B_Stop.ini";
inline constexpr wchar_t kPortTemplate[] = L"\\Ext\\B_Port.ini";
inline constexpr wchar_t kPhpTemplate[] = L"\\Ext\\I_php.ini";
inline constexpr wchar_t kApacheTemplate[] = L"\\Ext\\I_apache.ini";
inline constexpr wchar_t kMysqlTemplate[] = L"\\Ext\\I_mysql.ini";
inline constexpr wchar_t kPhpConfig[] = L"\\PHP\\php.ini";
inline constexpr wchar_t kApacheConfig[] = L"\\apache\\conf\\httpd.conf";
inline constexpr wchar_t kMysqlConfig[] = L"\\MySQL\\my.ini";

// Placeholder tokens in the templates: ASCII, matched on the files' own bytes.
inline constexpr char kApacheServiceToken[] = "J_SerVer_Apache";
inline constexpr char kMysqlServiceToken[] = "J_SerVer_MySQL";
inline constexpr char kPhpPathToken[] = "PHP_Path";
inline constexpr char kApachePathToken[] = "Apache_Path";
inline constexpr char kMysqlPathToken[] = "Mysql_Path";

// Service names are these prefixes followed by the drawn number.
inline constexpr char kApacheServicePrefix[] = "J_Apache_";
inline constexpr char kMysqlServicePrefix[] = "J_Mysql_";

// What the probe's lines read, joined, when both servers are up.
inline constexpr wchar_t kRunningMarker[] = L"a1m1";

// Window and button texts.
inline constexpr wchar_t kFormCaption[] = L"Velmora启动/停止服务";
inline constexpr wchar_t kStartIdleCaption[] = L"svcpanel";
inline constexpr wchar_t kStartedCaption[] = L"已启动";
inline constexpr wchar_t kStartingCaption[] = L"启动中。。。";
inline constexpr wchar_t kStopCaption[] = L"停止服务";
inline constexpr wchar_t kStoppingCaption[] = L"停止中。。。";
inline constexpr wchar_t kMessageTitle[] = L"系统提示";
inline constexpr wchar_t kAlreadyRunningText[] = L"启动/停止服务程序已经在运行。";

}  // namespace svcpanel
