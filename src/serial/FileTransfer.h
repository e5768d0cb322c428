#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// Moving one whole file between the PC and the terminal over the packet layer. The file is
// gFileName in the transfer folder (mdlLoadSetup::GetAppPath()).
namespace kelvarin::ModTrans {

// `name` in the transfer folder.
std::filesystem::path TransferPath(const std::string& name);

// Sends gFileName in 896-byte blocks ('8' first when it is missing, else '1'), then takes the
// terminal's end-of-file count. 255 sent and confirmed; 56 missing; 54 or 57 a packet failed
// (gStatusText "Err Transfer: Send repeated <n> times "); 57 or 60 from the confirmation.
// The source is left unchanged and closed on every path.
int SendFile();

// Receives gFileName into TEMPFILE.BIN in the transfer folder (which exists only while a file
// is received) and, once the last packet is written and closed, puts it in place of gFileName and
// stores it on the disk itself before the count is exchanged, so it stays there whatever the
// count gives. 255 received and confirmed; 56 the terminal has no such file or gave no first
// answer in time; 232 the terminal's file system failed; 54 or 57 a packet failed or came out of
// order (BlockSize above 896 counts as failed); 57 or 58 from the confirmation. A file the disk
// does not take whole (a failed write, flush or close, e.g. a full disk), or that cannot be put
// in place or stored, throws RuntimeError 75 before the count is exchanged. On every path
// TEMPFILE.BIN is closed and deleted, and gFileName keeps its older contents unless the last
// packet came and the file was written whole.
int ReceiveFile();

// Takes the terminal's count of the packets it received: 255 it equals `packetCount` (0F sent),
// 57 it differs (':' sent) or the terminal did not call, 60 the count lacked its FF. A count with
// a high byte of 80h or more: RuntimeError 6.
int ConfirmSentFile(std::int16_t packetCount);

// Tells the terminal how many packets came (gPacketNo): 255 it agrees, 58 it answers ':',
// 57 no answer to the call or to the count.
int ConfirmReceivedFile();

// Closes the file the file layer holds open, if any; gFileNum becomes -1.
void CloseTransferFile();
bool IsTransferFileOpen();

} // namespace kelvarin::ModTrans
