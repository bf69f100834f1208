// Request building, framing, CRC and reply field decoding of the controller datagrams.
#include "link/Crc16.h"
#include "link/LinkPacket.h"

#include <QDateTime>
#include <QTest>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

using namespace korva;

Q_DECLARE_METATYPE(korva::FileStartRefusal)

namespace {

enum Request { Status, Identify, SetClock, ResetJobCount, ToolName, FileStart, FileData };

// Heap-allocated so that AddressSanitizer sees any write past the buffer's end.
std::unique_ptr<RequestBuffer> FreshBuffer(std::uint8_t fill = 0) {
    auto buffer = std::make_unique<RequestBuffer>();
    buffer->fill(fill);
    return buffer;
}

QByteArray Bytes(const RequestBuffer& buffer, int first, int count) {
    return QByteArray(reinterpret_cast<const char*>(buffer.data() + first), count);
}

// Builds one request of the given kind with fixed sample content; returns its length value.
int BuildSample(RequestBuffer& buffer, int request) {
    static const std::uint8_t chunk[LinkPacket::ChunkSize] = {};
    switch (request) {
    case Status:
        return BuildStatus(buffer);
    case Identify:
        return BuildIdentify(buffer, 11000);
    case SetClock:
        return BuildSetClock(buffer, ClockReading{13, 45, 59, 7, 3, 2024});
    case ResetJobCount:
        return BuildResetJobCount(buffer);
    case ToolName:
        return BuildToolName(buffer, 17);
    case FileStart:
        return BuildFileStart(buffer, 1423, "jobs1", "part-12b.ngc").lengthValue;
    case FileData:
        return BuildFileData(buffer, 0, chunk, LinkPacket::ChunkSize);
    }
    return 0;
}

// A reply datagram in a LastPacket-sized copy with a valid CRC over its first `length` bytes.
struct Reply {
    std::array<std::uint8_t, LinkPacket::LastPacketSize> bytes{};
    void Put(int pos, const QByteArray& data) {
        std::memcpy(bytes.data() + pos, data.constData(), data.size());
    }
};

} // namespace

class PacketCodecTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void crcOfCheckStringIsXmodemCheckValue();
    void tableCrcMatchesBitwiseCrc_data();
    void tableCrcMatchesBitwiseCrc();

    void requestsMatchKnownControllerBytes_data();
    void requestsMatchKnownControllerBytes();
    void everyRequestIsFramedAndPaddedToMultipleOfFour_data();
    void everyRequestIsFramedAndPaddedToMultipleOfFour();
    void paddingRepeatsLeftoversOfEarlierLongerRequest_data();
    void paddingRepeatsLeftoversOfEarlierLongerRequest();
    void unusableLengthValueLeavesBufferUntouched_data();
    void unusableLengthValueLeavesBufferUntouched();

    void identifyCarriesReceivePortLittleEndian();
    void toolNameCarriesToolNumber();
    void setClockSendsFieldsAndLowByteOfYear_data();
    void setClockSendsFieldsAndLowByteOfYear();
    void localClockReadingLiesBetweenTwoReadings();

    void fileStartPlacesNamesAndTerminators_data();
    void fileStartPlacesNamesAndTerminators();
    void folderNameForController_data();
    void folderNameForController();
    void fileStartRefusesWhatCannotBeAnnounced_data();
    void fileStartRefusesWhatCannotBeAnnounced();

    void fileDataCarriesChunk_data();
    void fileDataCarriesChunk();
    void fileDataRefusesBadChunkSize_data();
    void fileDataRefusesBadChunkSize();

    void crcCheckOfReceivedDatagram_data();
    void crcCheckOfReceivedDatagram();

    void int32FieldsAreSignedLittleEndian_data();
    void int32FieldsAreSignedLittleEndian();
    void float32FieldsAreLittleEndianIeee_data();
    void float32FieldsAreLittleEndianIeee();
    void textFieldsEndAtZeroOrFieldEnd_data();
    void textFieldsEndAtZeroOrFieldEnd();
    void statusReplyDecodesEveryField_data();
    void statusReplyDecodesEveryField();
    void identifyReplyDecodesEveryField();
};

// ---- CRC

void PacketCodecTest::crcOfCheckStringIsXmodemCheckValue() {
    const QByteArray check = "xx123456789";
    const auto* data = reinterpret_cast<const std::uint8_t*>(check.constData());
    QCOMPARE(Crc16(data, 2, 9), std::uint16_t{0x31C3});
    QCOMPARE(Crc16Bitwise(data, 2, 9), std::uint16_t{0x31C3});
}

void PacketCodecTest::tableCrcMatchesBitwiseCrc_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::newRow("nothing") << 2 << 0;
    QTest::newRow("negative count yields 0") << 2 << -7;
    QTest::newRow("one byte") << 2 << 1;
    QTest::newRow("odd length") << 3 << 37;
    QTest::newRow("one short of an 8-byte block") << 2 << 7;
    QTest::newRow("one 8-byte block") << 2 << 8;
    QTest::newRow("a block and one byte") << 5 << 9;
    QTest::newRow("two blocks and a tail") << 1 << 19;
    QTest::newRow("full chunk request") << 2 << 1436;
    QTest::newRow("whole buffer") << 0 << 1501;
}

void PacketCodecTest::tableCrcMatchesBitwiseCrc() {
    QFETCH(int, first);
    QFETCH(int, count);
    std::mt19937 random(12345);
    std::vector<std::uint8_t> data(1501);
    for (auto& b : data)
        b = static_cast<std::uint8_t>(random());
    const std::uint16_t crc = Crc16(data.data(), first, count);
    if (count <= 0) {
        QCOMPARE(crc, std::uint16_t{0});
        QCOMPARE(Crc16Bitwise(data.data(), first, count), std::uint16_t{0});
        return;
    }
    // The bitwise reference over a copy that starts at the first byte.
    const std::vector<std::uint8_t> copy(data.begin() + first, data.begin() + first + count);
    QCOMPARE(crc, Crc16Bitwise(copy.data(), 0, count));
}

// ---- Framing and padding

void PacketCodecTest::requestsMatchKnownControllerBytes_data() {
    QTest::addColumn<int>("request");
    QTest::addColumn<QByteArray>("datagram");
    QTest::newRow("Status") << int(Status) << QByteArray::fromHex("d58d0300010000000000");
    QTest::newRow("ResetJobCount") << int(ResetJobCount) << QByteArray::fromHex("296403000500");
}

void PacketCodecTest::requestsMatchKnownControllerBytes() {
    QFETCH(int, request);
    QFETCH(QByteArray, datagram);
    auto buffer = FreshBuffer();
    const int length = FinishRequest(*buffer, BuildSample(*buffer, request));
    QCOMPARE(Bytes(*buffer, 0, length).toHex(' '), datagram.toHex(' '));
}

void PacketCodecTest::everyRequestIsFramedAndPaddedToMultipleOfFour_data() {
    QTest::addColumn<int>("request");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("lengthValue");
    QTest::addColumn<int>("datagramLength");
    QTest::addColumn<int>("lastFieldPos");
    QTest::newRow("Status") << int(Status) << 1 << 5 << 10 << 4;
    QTest::newRow("Identify") << int(Identify) << 2 << 8 << 10 << 8;
    QTest::newRow("SetClock") << int(SetClock) << 3 << 10 << 14 << 10;
    QTest::newRow("ResetJobCount") << int(ResetJobCount) << 5 << 1 << 6 << 4;
    QTest::newRow("ToolName") << int(ToolName) << 8 << 8 << 10 << 5;
    QTest::newRow("FileStart 5+12 names") << int(FileStart) << 10 << 32 << 34 << 30;
    QTest::newRow("FileData full chunk") << int(FileData) << 11 << 1435 << 1438 << 1434;
}

void PacketCodecTest::everyRequestIsFramedAndPaddedToMultipleOfFour() {
    QFETCH(int, request);
    QFETCH(int, command);
    QFETCH(int, lengthValue);
    QFETCH(int, datagramLength);
    QFETCH(int, lastFieldPos);
    auto buffer = FreshBuffer(0x77);
    QCOMPARE(BuildSample(*buffer, request), lengthValue);
    const int length = FinishRequest(*buffer, lengthValue);
    QCOMPARE(length, datagramLength);
    QCOMPARE(DatagramLength(lengthValue), datagramLength);
    QCOMPARE((length - 2) % 4, 0);
    QCOMPARE(int((*buffer)[2]), 3);
    QCOMPARE(int((*buffer)[3]), 0);
    QCOMPARE(int((*buffer)[4]), command);
    QVERIFY(HasValidCrc(buffer->data(), length));
    QVERIFY(length - 1 >= lastFieldPos);
    // Nothing past the datagram was written.
    for (int i = length; i < LinkPacket::RequestBufferSize; ++i)
        QCOMPARE(int((*buffer)[i]), 0x77);
}

void PacketCodecTest::paddingRepeatsLeftoversOfEarlierLongerRequest_data() {
    QTest::addColumn<int>("earlier");
    QTest::addColumn<int>("later");
    QTest::addColumn<int>("firstPaddingPos");
    QTest::newRow("Status after FileStart") << int(FileStart) << int(Status) << 5;
    QTest::newRow("SetClock after FileStart") << int(FileStart) << int(SetClock) << 11;
    QTest::newRow("ToolName after SetClock") << int(SetClock) << int(ToolName) << 6;
}

void PacketCodecTest::paddingRepeatsLeftoversOfEarlierLongerRequest() {
    QFETCH(int, earlier);
    QFETCH(int, later);
    QFETCH(int, firstPaddingPos);
    auto buffer = FreshBuffer();
    FinishRequest(*buffer, BuildSample(*buffer, earlier));
    const RequestBuffer before = *buffer;
    const int length = FinishRequest(*buffer, BuildSample(*buffer, later));
    const QByteArray padding = Bytes(*buffer, firstPaddingPos, length - firstPaddingPos);
    QCOMPARE(padding, Bytes(before, firstPaddingPos, length - firstPaddingPos));
    QVERIFY(padding.count('\0') < padding.size()); // the leftovers are not all zero
    QVERIFY(HasValidCrc(buffer->data(), length));  // and the CRC covers them

    // The same request built in a fresh buffer has zero padding and therefore another CRC.
    auto fresh = FreshBuffer();
    QCOMPARE(FinishRequest(*fresh, BuildSample(*fresh, later)), length);
    QVERIFY(Bytes(*fresh, 0, 2) != Bytes(*buffer, 0, 2));
}

void PacketCodecTest::unusableLengthValueLeavesBufferUntouched_data() {
    QTest::addColumn<int>("lengthValue");
    QTest::addColumn<int>("datagramLength");
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("negative") << -4 << 0;
    QTest::newRow("largest that fits") << 1496 << 1498;
    QTest::newRow("one more does not fit") << 1497 << 0;
    QTest::newRow("far too long") << 100000 << 0;
}

void PacketCodecTest::unusableLengthValueLeavesBufferUntouched() {
    QFETCH(int, lengthValue);
    QFETCH(int, datagramLength);
    auto buffer = FreshBuffer(0x3C);
    QCOMPARE(FinishRequest(*buffer, lengthValue), datagramLength);
    const int untouchedFrom = datagramLength;
    for (int i = untouchedFrom; i < LinkPacket::RequestBufferSize; ++i)
        QCOMPARE(int((*buffer)[i]), 0x3C);
}

// ---- Link requests

void PacketCodecTest::identifyCarriesReceivePortLittleEndian() {
    auto buffer = FreshBuffer();
    const int length = FinishRequest(*buffer, BuildIdentify(*buffer, 11050));
    QCOMPARE(length, 10);
    QCOMPARE(Bytes(*buffer, 5, 4).toHex(), QByteArray("2a2b0000"));
}

void PacketCodecTest::toolNameCarriesToolNumber() {
    auto buffer = FreshBuffer();
    FinishRequest(*buffer, BuildToolName(*buffer, 118));
    QCOMPARE(int((*buffer)[5]), 118);
}

void PacketCodecTest::setClockSendsFieldsAndLowByteOfYear_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("yearByte");
    QTest::newRow("2024") << 2024 << 24;
    QTest::newRow("2000") << 2000 << 0;
    QTest::newRow("2255") << 2255 << 255;
    QTest::newRow("2256 wraps") << 2256 << 0;
    QTest::newRow("1999 wraps") << 1999 << 255;
}

void PacketCodecTest::setClockSendsFieldsAndLowByteOfYear() {
    QFETCH(int, year);
    QFETCH(int, yearByte);
    auto buffer = FreshBuffer(0xEE);
    const int length = FinishRequest(*buffer, BuildSetClock(*buffer, ClockReading{23, 59, 58, 31, 12, year}));
    QCOMPARE(length, 14);
    QCOMPARE(Bytes(*buffer, 4, 6).toHex(' '), QByteArray("03 17 3b 3a 1f 0c"));
    QCOMPARE(int((*buffer)[10]), yearByte);
}

void PacketCodecTest::localClockReadingLiesBetweenTwoReadings() {
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const ClockReading clock = ReadLocalClock();
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    const QDateTime read(QDate(clock.year, clock.month, clock.day),
                         QTime(clock.hour, clock.minute, clock.second));
    QVERIFY(read.isValid());
    // One hour either way tolerates a daylight-saving change between the readings.
    QVERIFY2(read.toSecsSinceEpoch() >= before - 3600 && read.toSecsSinceEpoch() <= after + 3600,
             qPrintable(read.toString(Qt::ISODate)));
}

// ---- FileStart

void PacketCodecTest::fileStartPlacesNamesAndTerminators_data() {
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("lengthValue");
    QTest::addColumn<int>("datagramLength");
    QTest::addColumn<int>("folderEnd");
    QTest::addColumn<int>("fileEnd");
    QTest::newRow("5-byte folder, 12-byte name")
        << QByteArray("jobs1") << QByteArray("part-12b.ngc") << 32 << 34 << 17 << 30;
    QTest::newRow("empty folder") << QByteArray() << QByteArray("a.nc") << 19 << 22 << 12 << 17;
    QTest::newRow("K8 without folder")
        << FolderNameForController({}, true) << QByteArray("a.nc") << 20 << 22 << 13 << 18;
    QTest::newRow("30-byte folder") << QByteArray(30, 'f') << QByteArray("x.tap") << 50 << 54 << 42 << 48;
    QTest::newRow("name bytes as given")
        << QByteArray("d") << QByteArray("\xc3\xa4\xff.nc") << 22 << 26 << 13 << 20;
}

void PacketCodecTest::fileStartPlacesNamesAndTerminators() {
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, file);
    QFETCH(int, lengthValue);
    QFETCH(int, datagramLength);
    QFETCH(int, folderEnd);
    QFETCH(int, fileEnd);
    auto buffer = FreshBuffer(0x99);
    const FileStartBuild build = BuildFileStart(*buffer, 0x01020304, folder, file);
    QCOMPARE(build.refusal, FileStartRefusal::None);
    QCOMPARE(build.lengthValue, lengthValue);
    QCOMPARE(FinishRequest(*buffer, build.lengthValue), datagramLength);
    QVERIFY(HasValidCrc(buffer->data(), datagramLength));
    QCOMPARE(int((*buffer)[4]), 10);
    QCOMPARE(Bytes(*buffer, 5, 4).toHex(), QByteArray("04030201"));
    QCOMPARE(Bytes(*buffer, 9, 2).toHex(), QByteArray("0000"));
    QCOMPARE(int((*buffer)[11]), int(folder.size()));
    QCOMPARE(Bytes(*buffer, 12, int(folder.size())), folder);
    QCOMPARE(int((*buffer)[folderEnd]), 0);
    QCOMPARE(Bytes(*buffer, folderEnd + 1, int(file.size())), file);
    QCOMPARE(int((*buffer)[fileEnd]), 0);
    QVERIFY(datagramLength - (fileEnd + 1) >= 3); // at least 3 padding bytes
}

void PacketCodecTest::folderNameForController_data() {
    QTest::addColumn<QByteArray>("mapped");
    QTest::addColumn<bool>("isK8");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("K8 without folder gets backslash") << QByteArray() << true << QByteArray("\\");
    QTest::newRow("K7 without folder gets nothing") << QByteArray() << false << QByteArray();
    QTest::newRow("K8 with folder") << QByteArray("jobs") << true << QByteArray("jobs");
    QTest::newRow("K7 with folder") << QByteArray("jobs") << false << QByteArray("jobs");
}

void PacketCodecTest::folderNameForController() {
    QFETCH(QByteArray, mapped);
    QFETCH(bool, isK8);
    QFETCH(QByteArray, sent);
    QCOMPARE(FolderNameForController(mapped, isK8), sent);
}

void PacketCodecTest::fileStartRefusesWhatCannotBeAnnounced_data() {
    QTest::addColumn<int>("folderLength");
    QTest::addColumn<int>("fileLength");
    QTest::addColumn<qint64>("fileSize");
    QTest::addColumn<FileStartRefusal>("refusal");
    QTest::newRow("names of 1481 bytes fit") << 30 << 1451 << qint64(10) << FileStartRefusal::None;
    QTest::newRow("names of 1482 bytes") << 30 << 1452 << qint64(10) << FileStartRefusal::NamesTooLong;
    QTest::newRow("file name alone of 1482 bytes")
        << 0 << 1482 << qint64(10) << FileStartRefusal::NamesTooLong;
    QTest::newRow("very long file name") << 0 << 70000 << qint64(10) << FileStartRefusal::NamesTooLong;
    QTest::newRow("size 2^31-1") << 5 << 12 << qint64(0x7FFFFFFF) << FileStartRefusal::None;
    QTest::newRow("size 2^31") << 5 << 12 << qint64(0x80000000) << FileStartRefusal::FileTooLarge;
    QTest::newRow("size 2^32 would wrap to 0")
        << 5 << 12 << qint64(0x100000000) << FileStartRefusal::FileTooLarge;
    QTest::newRow("negative size") << 5 << 12 << qint64(-1) << FileStartRefusal::FileTooLarge;
    QTest::newRow("folder of 31 bytes") << 31 << 12 << qint64(10) << FileStartRefusal::FolderTooLong;
    QTest::newRow("folder of 256 bytes") << 256 << 12 << qint64(10) << FileStartRefusal::FolderTooLong;
}

void PacketCodecTest::fileStartRefusesWhatCannotBeAnnounced() {
    QFETCH(int, folderLength);
    QFETCH(int, fileLength);
    QFETCH(qint64, fileSize);
    QFETCH(FileStartRefusal, refusal);
    auto buffer = FreshBuffer(0x5A);
    const FileStartBuild build =
        BuildFileStart(*buffer, fileSize, QByteArray(folderLength, 'd'), QByteArray(fileLength, 'n'));
    QCOMPARE(build.refusal, refusal);
    if (refusal != FileStartRefusal::None) {
        QCOMPARE(build.lengthValue, 0);
        for (int i = 0; i < LinkPacket::RequestBufferSize; ++i)
            QCOMPARE(int((*buffer)[i]), 0x5A);
        return;
    }
    const int length = FinishRequest(*buffer, build.lengthValue);
    QVERIFY(length > 0 && length <= LinkPacket::RequestBufferSize);
    QVERIFY(HasValidCrc(buffer->data(), length));
    QCOMPARE(ReadInt32(buffer->data(), 5), std::int32_t(fileSize));
    QCOMPARE(int((*buffer)[13 + folderLength + fileLength]), 0);
}

// ---- FileData

void PacketCodecTest::fileDataCarriesChunk_data() {
    QTest::addColumn<qint64>("fileSize");
    QTest::addColumn<int>("chunkNumber");
    QTest::addColumn<int>("dataBytes");
    QTest::addColumn<int>("datagramLength");
    QTest::addColumn<qint64>("chunkCount");
    QTest::newRow("first chunk of 1423-byte file is full") << qint64(1423) << 0 << 1422 << 1438 << qint64(2);
    QTest::newRow("last chunk of 1423-byte file") << qint64(1423) << 1 << 1 << 18 << qint64(2);
    QTest::newRow("single 4-byte chunk") << qint64(4) << 0 << 4 << 22 << qint64(1);
    QTest::newRow("file of exactly one chunk") << qint64(1422) << 0 << 1422 << 1438 << qint64(1);
    QTest::newRow("chunk number above 2^16")
        << qint64(1422) * 70001 << 70000 << 1422 << 1438 << qint64(70001);
}

void PacketCodecTest::fileDataCarriesChunk() {
    QFETCH(qint64, fileSize);
    QFETCH(int, chunkNumber);
    QFETCH(int, dataBytes);
    QFETCH(int, datagramLength);
    QFETCH(qint64, chunkCount);
    QCOMPARE(ChunkCount(fileSize), chunkCount);
    std::vector<std::uint8_t> data(static_cast<size_t>(dataBytes));
    for (int i = 0; i < dataBytes; ++i)
        data[size_t(i)] = static_cast<std::uint8_t>(i * 7 + 1);
    auto buffer = FreshBuffer(0xC3);
    const int lengthValue = BuildFileData(*buffer, chunkNumber, data.data(), dataBytes);
    QCOMPARE(lengthValue, dataBytes + 13);
    const int length = FinishRequest(*buffer, lengthValue);
    QCOMPARE(length, datagramLength);
    QVERIFY(HasValidCrc(buffer->data(), length));
    QCOMPARE(int((*buffer)[4]), 11);
    QCOMPARE(ReadInt32(buffer->data(), 5), chunkNumber);
    QCOMPARE(ReadInt32(buffer->data(), 9), dataBytes);
    QCOMPARE(Bytes(*buffer, 13, dataBytes),
             QByteArray(reinterpret_cast<const char*>(data.data()), dataBytes));
    QVERIFY(length - (13 + dataBytes) >= 2); // at least 2 padding bytes
}

void PacketCodecTest::fileDataRefusesBadChunkSize_data() {
    QTest::addColumn<int>("dataBytes");
    QTest::newRow("empty") << 0;
    QTest::newRow("negative") << -1;
    QTest::newRow("one more than a chunk") << 1423;
}

void PacketCodecTest::fileDataRefusesBadChunkSize() {
    QFETCH(int, dataBytes);
    const std::vector<std::uint8_t> data(2000, 0x11);
    auto buffer = FreshBuffer(0x5A);
    QCOMPARE(BuildFileData(*buffer, 0, data.data(), dataBytes), 0);
    for (int i = 0; i < LinkPacket::RequestBufferSize; ++i)
        QCOMPARE(int((*buffer)[i]), 0x5A);
}

// ---- Receiving side

void PacketCodecTest::crcCheckOfReceivedDatagram_data() {
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<bool>("valid");
    // A status reply with its CRC stored low byte first.
    QByteArray reply = QByteArray::fromHex("0000"
                                           "0300"
                                           "01"
                                           "32"
                                           "02"
                                           "ff"
                                           "0a000000"
                                           "01"
                                           "10270000") +
                       QByteArray("job.nc");
    StoreCrc(reinterpret_cast<std::uint8_t*>(reply.data()), int(reply.size()));
    QVERIFY(reply[0] != reply[1]);
    QByteArray swapped = reply;
    std::swap(swapped[0], swapped[1]);
    QByteArray flipped = reply;
    flipped[9] = char(flipped[9] ^ 0x01);
    QByteArray longer = reply + QByteArray(1, '\0');

    QTest::newRow("CRC stored little-endian") << reply << true;
    QTest::newRow("CRC bytes swapped") << swapped << false;
    QTest::newRow("one payload bit flipped") << flipped << false;
    QTest::newRow("extra trailing zero byte") << longer << false;
    QTest::newRow("request example") << QByteArray::fromHex("d58d0300010000000000") << true;
    QTest::newRow("single byte") << QByteArray(1, '\0') << false;
    QTest::newRow("nothing") << QByteArray() << false;
}

void PacketCodecTest::crcCheckOfReceivedDatagram() {
    QFETCH(QByteArray, datagram);
    QFETCH(bool, valid);
    // A heap copy of exactly the datagram's size, so reading past its end is caught.
    std::vector<std::uint8_t> bytes(datagram.begin(), datagram.end());
    QCOMPARE(HasValidCrc(bytes.data(), int(bytes.size())), valid);
}

void PacketCodecTest::int32FieldsAreSignedLittleEndian_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint32>("value");
    QTest::newRow("positive") << QByteArray::fromHex("78563412") << qint32(0x12345678);
    QTest::newRow("minus one") << QByteArray::fromHex("ffffffff") << qint32(-1);
    QTest::newRow("negative") << QByteArray::fromHex("c01dfeff") << qint32(-123456);
    QTest::newRow("lowest") << QByteArray::fromHex("00000080") << std::numeric_limits<qint32>::min();
    QTest::newRow("highest") << QByteArray::fromHex("ffffff7f") << std::numeric_limits<qint32>::max();
}

void PacketCodecTest::int32FieldsAreSignedLittleEndian() {
    QFETCH(QByteArray, bytes);
    QFETCH(qint32, value);
    std::uint8_t packet[16] = {};
    std::memcpy(packet + 9, bytes.constData(), 4);
    QCOMPARE(ReadInt32(packet, 9), value);
    std::uint8_t written[16] = {};
    WriteInt32(written, 9, value);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(written + 9), 4), bytes);
}

void PacketCodecTest::float32FieldsAreLittleEndianIeee_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<float>("value");
    QTest::newRow("1.25") << QByteArray::fromHex("0000a03f") << 1.25f;
    QTest::newRow("-2.5") << QByteArray::fromHex("000020c0") << -2.5f;
    QTest::newRow("-0.001") << QByteArray::fromHex("6f1283ba") << -0.001f;
    QTest::newRow("negative zero") << QByteArray::fromHex("00000080") << -0.0f;
}

void PacketCodecTest::float32FieldsAreLittleEndianIeee() {
    QFETCH(QByteArray, bytes);
    QFETCH(float, value);
    Reply reply;
    reply.Put(LinkPacket::IdentifyCoreVersion, bytes);
    const float read = ReadFloat32(reply.bytes.data(), LinkPacket::IdentifyCoreVersion);
    QCOMPARE(read, value);
    QCOMPARE(std::signbit(read), std::signbit(value));
    QCOMPARE(DecodeIdentify(reply.bytes.data()).coreVersion, value);
    std::uint8_t written[4] = {};
    WriteFloat32(written, 0, value);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(written), 4), bytes);
}

void PacketCodecTest::textFieldsEndAtZeroOrFieldEnd_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("text");
    const QByteArray full29(29, 'S');
    const QByteArray full33(33, 'T');
    QTest::newRow("identity name fills 29 bytes") << 2 << full29 << full29;
    QTest::newRow("status file name fills 33 bytes") << 1 << full33 << full33;
    QTest::newRow("tool name fills 33 bytes") << 8 << full33 << full33;
    QTest::newRow("zero at first position") << 8 << QByteArray("\0abc", 4) << QByteArray();
    QTest::newRow("zero inside") << 1 << QByteArray("job.nc\0old", 10) << QByteArray("job.nc");
    QTest::newRow("bytes taken as they are")
        << 2 << QByteArray("\xff\xc3(\x01") << QByteArray("\xff\xc3(\x01");
}

void PacketCodecTest::textFieldsEndAtZeroOrFieldEnd() {
    QFETCH(int, command);
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, text);
    Reply reply;
    reply.bytes.fill('X'); // anything after the field must not be read as text
    reply.bytes[4] = static_cast<std::uint8_t>(command);
    switch (command) {
    case 1:
        reply.Put(LinkPacket::StatusFileNameFirst, field);
        if (field.size() < 33)
            reply.bytes[size_t(LinkPacket::StatusFileNameFirst + field.size())] = 0;
        QCOMPARE(DecodeStatus(reply.bytes.data()).controllerFileName, text);
        break;
    case 2:
        reply.Put(LinkPacket::IdentifyNameFirst, field);
        if (field.size() < 29)
            reply.bytes[size_t(LinkPacket::IdentifyNameFirst + field.size())] = 0;
        QCOMPARE(DecodeIdentify(reply.bytes.data()).softwareName, text);
        break;
    case 8:
        reply.Put(LinkPacket::ToolNameFirst, field);
        if (field.size() < 33)
            reply.bytes[size_t(LinkPacket::ToolNameFirst + field.size())] = 0;
        QCOMPARE(DecodeToolName(reply.bytes.data()).toolName, text);
        break;
    }
}

void PacketCodecTest::statusReplyDecodesEveryField_data() {
    QTest::addColumn<int>("toolChangeByte");
    QTest::addColumn<bool>("toolChange");
    QTest::newRow("tool change pending") << 0 << true;
    QTest::newRow("no tool change") << 1 << false;
    QTest::newRow("no tool change, 255") << 255 << false;
}

void PacketCodecTest::statusReplyDecodesEveryField() {
    QFETCH(int, toolChangeByte);
    QFETCH(bool, toolChange);
    Reply reply;
    reply.Put(4, QByteArray::fromHex("01"
                                     "c8"
                                     "02"
                                     "07"
                                     "feffffff") +
                     QByteArray(1, char(toolChangeByte)) + QByteArray::fromHex("10270000") +
                     QByteArray("run.nc"));
    const StatusReply status = DecodeStatus(reply.bytes.data());
    QCOMPARE(status.jobProgress, 200);
    QCOMPARE(int(status.machineState), 2);
    QCOMPARE(int(status.alarmCode), 7);
    QCOMPARE(status.jobCount, -2);
    QCOMPARE(status.toolChangeRequest, toolChange);
    QCOMPARE(status.jobTimeSeconds, 10000);
    QCOMPARE(status.controllerFileName, QByteArray("run.nc"));
}

void PacketCodecTest::identifyReplyDecodesEveryField() {
    Reply reply;
    reply.Put(4, QByteArray::fromHex("02"
                                     "89130000"
                                     "0000c03f") +
                     QByteArray("KORVA Mill"));
    const IdentifyReply identity = DecodeIdentify(reply.bytes.data());
    QCOMPARE(identity.serialNumber, 5001);
    QCOMPARE(identity.coreVersion, 1.5f);
    QCOMPARE(identity.softwareName, QByteArray("KORVA Mill"));
}

QTEST_GUILESS_MAIN(PacketCodecTest)
#include "tst_packet_codec.moc"
