#include "board_config.h"

#include "register_layout.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace tarnlink {

namespace {

constexpr std::string_view Blanks = " \t\r";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(Blanks);
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    while (true) {
        text = Trim(text);
        if (text.empty()) {
            return words;
        }
        const auto end = text.find_first_of(Blanks);
        words.push_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            return words;
        }
        text.remove_prefix(end);
    }
}

// Whole number, decimal or 0x-hex, with nothing after it.
std::optional<std::uint64_t> ParseWhole(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint64_t> ParseWhole(std::string_view text, std::uint64_t maximum) {
    const auto value = ParseWhole(text);
    if (!value || *value > maximum) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ParseReal(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

class LineParser {
public:
    LineParser(BoardConfig& board, std::string& error) : board_(board), error_(error) {}

    bool Parse(std::string_view key, std::string_view value) {
        if (key == "address") {
            return ParseAddresses(value);
        }
        if (key == "firmware") {
            return ParseFirmware(value);
        }
        if (key == "connect_attempt") {
            return ParseCount(value, board_.connectAttempt);
        }
        if (key == "fail_after") {
            return ParseCount(value, board_.failAfter);
        }
        if (key == "local") {
            return ParseSource(value, false, board_.local);
        }
        if (key == "remote1") {
            return ParseSource(value, true, board_.remote1);
        }
        if (key == "remote2") {
            return ParseSource(value, true, board_.remote2);
        }
        if (key.starts_with("reg.")) {
            return ParseRegister(key.substr(4), value);
        }
        if (key == "high_trips_late") {
            return ParseTripOffset(value);
        }
        if (key == "never_trips") {
            return ParseDeadComparator(value);
        }
        if (key == "mask_ignored") {
            return ParseMaskIgnored(value);
        }
        if (key == "alert_stuck") {
            return ParseSwitch(value, board_.alertStuck);
        }
        if (key == "state") {
            board_.stateFile = std::string(value);
            return true;
        }
        return Fail("unknown key '" + std::string(key) + "'");
    }

private:
    bool Fail(std::string reason) {
        error_ = std::move(reason);
        return false;
    }

    bool ParseAddresses(std::string_view value) {
        std::vector<std::uint8_t> addresses;
        while (true) {
            const auto comma = value.find(',');
            const auto item = Trim(value.substr(0, comma));
            const auto address = ParseWhole(item, 0x7F);
            if (!address) {
                return Fail("bad address '" + std::string(item) + "' (7-bit: 0 to 0x7F)");
            }
            for (const std::uint8_t known : addresses) {
                if (known == *address) {
                    return Fail("address '" + std::string(item) + "' given twice");
                }
            }
            addresses.push_back(static_cast<std::uint8_t>(*address));
            if (comma == std::string_view::npos) {
                break;
            }
            value.remove_prefix(comma + 1);
        }
        board_.addresses = std::move(addresses);
        return true;
    }

    bool ParseFirmware(std::string_view value) {
        if (value == "ok" || value == "fail") {
            board_.firmwareOk = value == "ok";
            return true;
        }
        return Fail("firmware must be ok or fail, not '" + std::string(value) + "'");
    }

    template <typename Number> bool ParseCount(std::string_view value, Number& target) {
        const auto count = ParseWhole(value, std::numeric_limits<Number>::max());
        if (!count) {
            return Fail("bad number '" + std::string(value) + "'");
        }
        target = static_cast<Number>(*count);
        return true;
    }

    bool ParseSource(std::string_view value, bool remote, TemperatureSource& target) {
        const auto words = SplitWords(value);
        if (words.size() == 1 && words[0] == "open") {
            if (!remote) {
                return Fail("only a remote diode can be open");
            }
            target = TemperatureSource::Open();
            return true;
        }
        std::vector<double> numbers;
        for (std::size_t i = 1; i < words.size(); ++i) {
            const auto number = ParseReal(words[i]);
            if (!number) {
                return Fail("bad number '" + std::string(words[i]) + "'");
            }
            numbers.push_back(*number);
        }
        if (words.size() == 1) {
            const auto celsius = ParseReal(words[0]);
            if (!celsius) {
                return Fail("bad temperature '" + std::string(value) + "'");
            }
            target = TemperatureSource::Constant(*celsius);
            return true;
        }
        if (!words.empty() && words[0] == "ramp" && numbers.size() == 3) {
            if (numbers[2] < 0.0) {
                return Fail("a ramp cannot take negative time");
            }
            target = TemperatureSource::Ramp(numbers[0], numbers[1], numbers[2]);
            return true;
        }
        if (!words.empty() && words[0] == "sine" && numbers.size() == 3) {
            if (numbers[2] <= 0.0) {
                return Fail("a sine needs a period above 0 s");
            }
            target = TemperatureSource::Sine(numbers[0], numbers[1], numbers[2]);
            return true;
        }
        return Fail("expected DEGREES, ramp FROM TO SECONDS, sine MEAN AMPLITUDE PERIOD" +
                    std::string(remote ? " or open" : "") + ", not '" + std::string(value) + "'");
    }

    bool ParseTripOffset(std::string_view value) {
        constexpr double MaxDegrees = 255.0;
        const auto degrees = ParseReal(value);
        if (!degrees || std::abs(*degrees) > MaxDegrees) {
            return Fail("bad temperature '" + std::string(value) + "' (-255 to 255)");
        }
        board_.highTripsLate = *degrees;
        return true;
    }

    static std::optional<std::uint8_t> ChannelNamed(std::string_view name) {
        constexpr std::array<std::string_view, 3> Names = {"local", "remote1", "remote2"};
        for (std::size_t i = 0; i < Names.size(); ++i) {
            if (name == Names[i]) {
                return static_cast<std::uint8_t>(i);
            }
        }
        return std::nullopt;
    }

    bool ParseDeadComparator(std::string_view value) {
        using Limit = BoardConfig::DeadComparator::Limit;
        constexpr std::array<std::pair<std::string_view, Limit>, 3> Limits = {
            {{"high", Limit::High}, {"low", Limit::Low}, {"therm", Limit::Therm}}};
        const auto dot = value.find('.');
        const auto channel = ChannelNamed(value.substr(0, dot));
        if (dot != std::string_view::npos && channel) {
            for (const auto& [name, limit] : Limits) {
                if (value.substr(dot + 1) == name) {
                    board_.deadComparator = BoardConfig::DeadComparator{*channel, limit};
                    return true;
                }
            }
        }
        return Fail("expected CHANNEL.LIMIT (local, remote1 or remote2; high, low or therm), "
                    "not '" +
                    std::string(value) + "'");
    }

    bool ParseMaskIgnored(std::string_view value) {
        const auto channel = ChannelNamed(value);
        if (!channel) {
            return Fail("expected local, remote1 or remote2, not '" + std::string(value) + "'");
        }
        board_.maskIgnored = channel;
        return true;
    }

    bool ParseSwitch(std::string_view value, bool& target) {
        if (value != "on" && value != "off") {
            return Fail("expected on or off, not '" + std::string(value) + "'");
        }
        target = value == "on";
        return true;
    }

    bool ParseRegister(std::string_view pointerText, std::string_view value) {
        const auto pointer = ParseWhole(pointerText, 0xFF);
        if (!pointer) {
            return Fail("bad register pointer '" + std::string(pointerText) + "'");
        }
        const reg::RegisterInfo& info = reg::Registers()[*pointer];
        if (!info.exists) {
            return Fail("no register is read at '" + std::string(pointerText) + "'");
        }
        if (info.measured) {
            return Fail("register '" + std::string(pointerText) +
                        "' is measured by the chip; set local/remote1/remote2 instead");
        }
        const auto byte = ParseWhole(value, 0xFF);
        if (!byte) {
            return Fail("bad register value '" + std::string(value) + "' (0 to 0xFF)");
        }
        board_.registerValues.emplace_back(static_cast<std::uint8_t>(*pointer),
                                           static_cast<std::uint8_t>(*byte));
        return true;
    }

    BoardConfig& board_;
    std::string& error_;
};

} // namespace

bool ParseBoardText(std::string_view text, BoardConfig& board, std::string& error) {
    BoardConfig parsed = board;
    LineParser parser(parsed, error);
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);

        line = Trim(line.substr(0, line.find('#')));
        if (line.empty()) {
            continue;
        }
        const auto equals = line.find('=');
        const auto key = Trim(line.substr(0, equals));
        const auto value =
            equals == std::string_view::npos ? std::string_view{} : Trim(line.substr(equals + 1));
        if (equals == std::string_view::npos || key.empty() || value.empty()) {
            error = "line " + std::to_string(lineNumber) + ": expected 'key = value', got '" +
                    std::string(line) + "'";
            return false;
        }
        if (!parser.Parse(key, value)) {
            error = "line " + std::to_string(lineNumber) + ": " + error;
            return false;
        }
    }
    board = std::move(parsed);
    return true;
}

} // namespace tarnlink
