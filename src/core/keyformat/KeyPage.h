#pragma once

#include <QByteArray>
#include <QVector>

#include <array>
#include <cstdint>

namespace keyformat {

// One 64-byte page of a DS1977 program key with the page number it goes to.
struct KeyPage
{
    int number = 0;
    QByteArray data; // always kPageSize bytes
};
using KeyPages = QVector<KeyPage>;

// The site's facility code: three BCD bytes, digits 1-2, 3-4, 5-6.
using FacilityBytes = std::array<uint8_t, 3>;

constexpr int kPageSize = 64;
constexpr int kPageCount = 512;
constexpr int kImageSize = kPageSize * kPageCount; // 32768

// Memory map of the single-lock missions.
constexpr int kScheduleFirstPage = 2; // 16 pages, the 1024-byte schedule table block
constexpr int kScheduleBlockSize = 1024;
constexpr int kUserFirstPage = 18; // three 20-byte user records per page
constexpr int kUserLastPage = 351;
constexpr int kLockListFirstPage = 352; // eight registration numbers per page
constexpr int kLockListLastPage = 476;
constexpr int kOneOffFirstPage = 477;     // eight one-off codes per page
constexpr int kLastPage = kPageCount - 2; // page 511 holds the key's passwords, not data

constexpr int kUsersPerPage = 3;
constexpr int kMaxUsers = (kUserLastPage - kUserFirstPage + 1) * kUsersPerPage; // 1002
constexpr int kMaxLocks = (kLockListLastPage - kLockListFirstPage + 1) * 8;     // 1000
constexpr int kMaxOneOffCodes = (kLastPage - kOneOffFirstPage + 1) * 8;         // 272

} // namespace keyformat
