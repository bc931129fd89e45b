#include "cli/cli_output.h"

#include "model/number_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace qmt::cli {

namespace {

std::string Compact(const QJsonDocument& document) {
    return document.toJson(QJsonDocument::Compact).toStdString();
}

QJsonObject RegisterObject(const RegisterReading& reading) {
    QJsonObject object{{"pointer", reading.pointer}, {"value", reading.value}};
    if (!reading.name.empty()) {
        object.insert("name", QString::fromStdString(reading.name));
    }
    return object;
}

} // namespace

std::string RegisterLine(const RegisterReading& reading) {
    auto line = model::HexText(reading.pointer) + "h " + model::HexText(reading.value) + "H " +
                model::DecimalText(reading.value);
    if (!reading.name.empty()) {
        line += " " + reading.name;
    }
    return line;
}

std::string RegistersJson(const std::vector<RegisterReading>& readings) {
    QJsonArray array;
    for (const auto& reading : readings) {
        array.append(RegisterObject(reading));
    }
    return Compact(QJsonDocument(array));
}

std::string RegisterJson(const RegisterReading& reading) {
    return Compact(QJsonDocument(RegisterObject(reading)));
}

std::vector<std::string> TemperatureLines(const Temperatures& temps) {
    std::vector<std::string> lines{"Local " + model::PlainNumberTextTrimmed(temps.local)};
    if (temps.remote1) {
        lines.push_back("Remote1 " + (temps.remote1Open
                                          ? std::string("open")
                                          : model::PlainNumberTextTrimmed(*temps.remote1)));
    }
    lines.push_back("Remote2 " + (temps.remote2Open
                                      ? std::string("open")
                                      : model::PlainNumberTextTrimmed(temps.remote2)));
    return lines;
}

std::string TemperaturesJson(const Temperatures& temps) {
    const auto reading = [](std::optional<float> value, bool open) {
        return value && !open ? QJsonValue(link::ShownTemperature(*value))
                              : QJsonValue(QJsonValue::Null);
    };
    QJsonObject object{{"local", link::ShownTemperature(temps.local)},
                       {"remote1", reading(temps.remote1, temps.remote1Open)},
                       {"remote2", reading(temps.remote2, temps.remote2Open)}};
    QJsonArray open;
    if (temps.remote1Open) {
        open.append("remote1");
    }
    if (temps.remote2Open) {
        open.append("remote2");
    }
    if (!open.isEmpty()) {
        object.insert("open", open);
    }
    return Compact(QJsonDocument(object));
}

std::string FoundJson(std::int32_t address) {
    return Compact(QJsonDocument(QJsonObject{{"address", address}}));
}

} // namespace qmt::cli
