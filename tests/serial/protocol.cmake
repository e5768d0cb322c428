# The handshake and packet layer, the file layer, the command exchange and the recovery
# conversion. Tests on the fake clock run time-outs in simulated time; the pseudo-terminal tests
# run the terminal simulator over a real port.
kelvarin_add_test(PacketLayerTest PacketLayerTest.cpp)
kelvarin_add_qt_test(FileTransferPtyTest FileTransferPtyTest.cpp)
kelvarin_add_test(CommandExchangeTest CommandExchangeTest.cpp)
kelvarin_add_test(TerminalFaultsTest TerminalFaultsTest.cpp)
kelvarin_add_test(FileTransferTest FileTransferTest.cpp)
kelvarin_add_test(RecoverDataTest RecoverDataTest.cpp)
