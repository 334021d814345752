#pragma once
// Opening a device info file, carried out with the Win32 API.

#include "interfaces/device_info_platform.h"

namespace ikw {

class Win32DeviceInfoFiles : public DeviceInfoPlatform {
public:
    std::u16string FullPathOf(const std::u16string& path) override;
    std::optional<std::vector<std::uint8_t>> ReadFile(const std::u16string& path, std::size_t maxBytes) override;
    std::optional<std::vector<std::uint8_t>> DriverRecordOf(const std::u16string& printer) override;
    std::optional<std::vector<std::uint8_t>> MergeThroughDriver(const std::u16string& printer,
                                                                const std::vector<std::uint8_t>& record) override;
    // No owner: nothing else of the program's is on the screen yet.
};

}  // namespace ikw
