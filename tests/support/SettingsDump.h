#pragma once

#include "config/GlobalKeys.h"
#include "monitor/MonitorKeys.h"

#include <QVariant>
#include <QVariantMap>
#include <type_traits>

// Every stored setting by its key, for comparing what a load produced. Process-wide values and
// keys the load reads itself are left out.
inline QVariantMap Dump(const CGlobalSettings& g) {
    QVariantMap map;
    for (const CGlobalKey& key : GlobalKeys()) {
        std::visit(
            [&](auto field) {
                using Field = decltype(field);
                if constexpr (std::is_member_object_pointer_v<Field>) {
                    const auto& value = g.*field;
                    if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::uint8_t>)
                        map.insert(key.Name, uint(value));
                    else
                        map.insert(key.Name, QVariant::fromValue(value));
                }
            },
            key.Field);
    }
    return map;
}

// Every keyed field of a record and its two picture paths.
inline QVariantMap Dump(const CMonitorBox& b) {
    QVariantMap map;
    for (const CMonitorKey& key : MonitorKeys()) {
        std::visit(
            [&](auto field) {
                const auto& value = b.*field;
                if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::uint8_t>)
                    map.insert(key.Name, uint(value));
                else
                    map.insert(key.Name, QVariant::fromValue(value));
            },
            key.Field);
    }
    map.insert(QStringLiteral("OnLinePicPath"), b.OnLinePicPath);
    map.insert(QStringLiteral("OffLinePicPath"), b.OffLinePicPath);
    return map;
}
