#include "conversion/FailureMapping.h"
#include "conversion/MasterFileName.h"
#include "conversion/NumberConversion.h"
#include "conversion/RecordFile.h"
#include "conversion/TerminalConversion.h"
#include "conversion/TerminalRecords.h"
#include "conversion/TextRoutines.h"
#include "settings/mdlLoadSetup.h"

#include <algorithm>
#include <limits>

namespace kelvarin {

// The four files that take one record per data line, opened in this order.
struct TerminalConversion::TerminalOutputs {
    explicit TerminalOutputs(const std::filesystem::path& dataFolder)
        : master(dataFolder / "MASTER.DAT"), accType(dataFolder / "ACCTYPE.DAT"),
          bankCol(dataFolder / "BANK.COL"), accDetail(dataFolder / "ACC_DETA.DAT") {}

    RecordFileWriter master;
    RecordFileWriter accType;
    RecordFileWriter bankCol;
    RecordFileWriter accDetail;
};

// One buffer per record type for the whole run: a line overwrites what it sets and leaves the
// rest, so BANK.COL's date carries over a line with an empty value 5.
struct TerminalConversion::LineBuffers {
    MasterRecord master;
    AccTypeRecord accType;
    AccDetailRecord accDetail;
    BankColRecord bankCol;
};

namespace {

const char* const kOutputNames[] = {"MASTER.DAT", "AGENT.DAT", "ACCTYPE.DAT", "BANK.COL",
                                    "ACC_DETA.DAT"};

void increment(std::int16_t& counter) {
    if (counter == std::numeric_limits<std::int16_t>::max())
        throw RuntimeError(kErrOverflow);
    ++counter;
}

std::string mid(const std::string& text, std::size_t from, std::size_t count) {
    return from < text.size() ? text.substr(from, count) : std::string();
}

// Value 5, written day/month/year: day in characters 1-2, month in 4-5, year in 7-10.
void readDate(const std::string& value, DateRecord& date) {
    date.Day = toByte(mid(value, 0, 2));
    date.Month = toByte(mid(value, 3, 2));
    date.Year = toInt16(mid(value, 6, 4));
}

} // namespace

bool TerminalConversion::StCvrt(const std::string& FileName) {
    bool result = false;
    try {
        const std::filesystem::path dataFolder = useDataFolder();
        for (const char* name : kOutputNames)
            deleteIfPresent(dataFolder / name);

        const std::filesystem::path sourcePath = dataFile(dataFolder, FileName);
        if (!FSo.FileExists(sourcePath)) {
            showNoData();
            return false;
        }
        const std::string base = baseName();
        if (base.size() > kMaxBaseNameLength) {
            refuseLongBaseName();
            return false;
        }

        auto source = FSo.OpenTextFile(sourcePath, IoMode::ForReading, false);
        std::string header = source->ReadLine();

        AgentRecord agent;
        storeText(agent.AgentCode, base + std::string(kMaxBaseNameLength - base.size(), ' '));
        storeText(agent.HeaderText1, GetNextField(header));
        agent.Long51 = 0;
        storeText(agent.HeaderText2, GetNextField(header));
        storeText(agent.Text55, "");
        storeText(agent.Text59, "");
        RecordFileWriter agentFile(dataFolder / "AGENT.DAT");
        agentFile.put(agent);
        agentFile.close();

        TerminalOutputs outputs(dataFolder);
        accTypeKeys.clear();
        accTypeKeyCount = 0;
        masterRecordNo = 0;
        LineBuffers buffers;
        while (!source->AtEndOfStream())
            convertLine(source->ReadLine(), outputs, buffers);

        outputs.accType.close();
        outputs.bankCol.close();
        outputs.accDetail.close();
        outputs.master.close();
        source->Close();
        result = true;

        deleteIfPresent(sourcePath);
    } catch (...) {
        showFailure(asRuntimeError(std::current_exception()));
    }
    return result;
}

void TerminalConversion::convertLine(std::string line, TerminalOutputs& outputs,
                                     LineBuffers& buffers) {
    MasterRecord& master = buffers.master;
    AccDetailRecord& detail = buffers.accDetail;
    BankColRecord& bank = buffers.bankCol;

    storeText(master.AccTypeCode, GetNextField(line));
    const std::string key = textOf(master.AccTypeCode);
    const auto known = accTypeKeys.begin() + accTypeKeyCount;
    const bool isNewType = std::find(accTypeKeys.begin(), known, key) == known;
    if (isNewType) {
        increment(accTypeKeyCount);
        accTypeKeys.push_back(key);
    }

    storeText(master.Field2Text, GetNextField(line));
    storeText(master.AccountKey, GetNextField(line));
    storeText(master.SortText, GetNextField(line));
    // The member already holds the NUL after the value; only spaces are added.
    lsetText(detail.AccountKey, mdlLoadSetup::TrimBlanks(textOf(master.AccountKey)));

    master.Byte105 = 1;
    master.RecordNo = masterRecordNo;
    increment(masterRecordNo);
    master.Byte108 = master.Byte109 = 0;
    master.Integer110 = 0;
    master.Byte112 = master.Byte113 = 0;
    master.Integer114 = 0;
    master.Byte116 = master.Byte117 = 0;
    master.Integer118 = 0;
    master.Byte120 = 0;
    storeText(master.Text122, "");

    // Value 10 from a copy, so that `line` still starts at value 5 for BANK.COL.
    std::string tail = line;
    for (int skipped = 0; skipped < 5; ++skipped)
        GetNextField(tail);
    const std::uint8_t typeNo = toByte(GetNextField(tail));
    master.TypeNo = typeNo;

    if (isNewType) {
        buffers.accType.AccTypeCode = master.AccTypeCode;
        buffers.accType.TypeNo = typeNo;
        outputs.accType.put(buffers.accType);
    }

    master.Byte100 = 0;
    storeText(master.Text101, "");

    storeText(detail.Field11Text, mdlLoadSetup::TrimBlanks(tail));
    detail.TypeNo = typeNo;
    storeText(detail.Text22, "");
    storeText(detail.Text92, "");
    storeText(detail.Text127, "");
    detail.Integer20 = 0;
    detail.Long122 = 0;
    lsetText(detail.AccTypeCode, mdlLoadSetup::TrimBlanks(key) + '\0');
    outputs.accDetail.put(detail);
    outputs.master.put(master);

    const std::string date = GetNextField(line);
    if (!date.empty())
        readDate(date, bank.Field5Date);
    bank.TypeNo = typeNo;
    bank.Field6Number = toFloat32(GetNextField(line));
    bank.Field7Number = toFloat32(GetNextField(line));
    bank.Field8Number = toFloat32(GetNextField(line));
    bank.Field9Number = static_cast<float>(toInt32(GetNextField(line)));
    storeText(bank.Text51, "");
    storeText(bank.Text116, "");
    outputs.bankCol.put(bank);
}

} // namespace kelvarin
