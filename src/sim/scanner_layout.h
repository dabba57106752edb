#pragma once

// The device's own sizes and addresses: what a QD718 holds and how long its replies are.

#include <cstddef>
#include <cstdint>

namespace qd718::sim {

inline constexpr int FirstChannel = 1;
inline constexpr int LastChannel = 2;
inline constexpr int ChannelCount = 2;

// Parameter memory: one byte per register, numbered by a byte.
inline constexpr int RegisterCount = 256;
inline constexpr int RegTimeM = 54;
inline constexpr int RegTimeM1 = 55;
inline constexpr int RegBeginPos = 56;  // two bytes, low byte first
inline constexpr int RegEndPos = 58;
inline constexpr int RegDiskr = 60;  // scan step in tenths of a micrometre
inline constexpr int RegAngle = 66;

// Reply lengths.
inline constexpr int IdentifyNibbles = 16;
inline constexpr int RegisterNibbles = 2;
inline constexpr int StoreEchoNibbles = 2;
inline constexpr int StatusByteNibbles = 2;
inline constexpr int StatusWordNibbles = 4;
inline constexpr std::uint8_t StatusBusyBit = 0x01;

// A scan: one sample per step, each a 16-bit height in units of range / 16384; 0 means that
// nothing was seen there.
inline constexpr int ScanSamples = 3072;
inline constexpr int SampleNibbles = 4;
inline constexpr int RawFullRange = 16384;
inline constexpr int MicronsPerRangeUnit = 1000;  // the range is given in millimetres

// Calibration table: 3072 signed 16-bit values per channel in six blocks of 512, numbered on
// the wire from 41.
inline constexpr int TableEntries = 3072;
inline constexpr int TableBlockValues = 512;
inline constexpr int TableBlocks = TableEntries / TableBlockValues;
inline constexpr int TableFirstBlock = 41;
inline constexpr int TableValueNibbles = 4;
inline constexpr std::size_t TableBlockDataBytes = TableBlockValues * TableValueNibbles;
inline constexpr std::size_t TableBlockNumberBytes = 2;
inline constexpr std::size_t TableBlockClosingBytes = 2;
// The closing pair of a block write, and the acknowledgement of a block taken.
inline constexpr std::uint8_t TableBlockClose = 0xAA;
inline constexpr std::uint8_t TableBlockAck = 0xAA;
// What a channel told to misbehave sends instead (its nibbles go out as 0x8A 0x85).
inline constexpr std::uint8_t TableBlockBadAck = 0x5A;
inline constexpr int AckNibbles = 2;

}  // namespace qd718::sim
