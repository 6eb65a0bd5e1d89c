#include "olap/cube/facttable.h"

#include "olap/cube/measurecolumn.h"
#include "platform/core/failure.h"
#include "platform/core/parallel.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <string>

namespace olap {

KeyColumn keyColumn(int width, uint64_t count)
{
    switch (width) {
    case 1:
        return Column<uint8_t>(count);
    case 2:
        return Column<uint16_t>(count);
    default:
        return Column<uint32_t>(count);
    }
}

uint32_t keyAt(const KeyColumn& column, uint64_t row)
{
    return std::visit([row](const auto& keys) { return uint32_t(keys[row]); }, column);
}

uint64_t keyCount(const KeyColumn& column)
{
    return std::visit([](const auto& keys) { return uint64_t(keys.size()); }, column);
}

// One column's place: filled once (std::call_once lets a failed read be
// tried again), then only read.
template <class T>
struct Slot {
    std::once_flag once;
    std::atomic<bool> ready{false};
    std::optional<T> column;
};

struct FactTable::State {
    std::shared_ptr<const FactSource> source;
    std::vector<Slot<KeyColumn>> keys;
    std::vector<Slot<MeasureColumn>> values;
    std::vector<Slot<KeyColumn>> ids;  // per measure; only distinct counts have them

    State(size_t dimensions, size_t measures) : keys(dimensions), values(measures), ids(measures) {}
};

namespace {

template <class T, class Read>
const T& filled(Slot<T>& slot, Read&& read)
{
    std::call_once(slot.once, [&] {
        slot.column.emplace(read());
        slot.ready = true;
    });
    return *slot.column;
}

[[noreturn]] void missingColumn(const char* kind, size_t number)
{
    throw platform::InternalFailure("the fact table has no " + std::string(kind) + " column " + std::to_string(number),
                                    "olap");
}

}  // namespace

FactTable::FactTable(uint64_t rowCount, size_t dimensions, size_t measures, std::shared_ptr<const FactSource> source)
    : mRowCount(rowCount), d(std::make_unique<State>(dimensions, measures))
{
    d->source = std::move(source);
}

FactTable::FactTable(const FactTable& other)
    : mRowCount(other.mRowCount), d(std::make_unique<State>(other.dimensionCount(), other.measureCount()))
{
    d->source = other.d->source;
    for (size_t k = 0; k < d->keys.size(); ++k) {
        if (other.d->keys[k].ready)
            filled(d->keys[k], [&] { return *other.d->keys[k].column; });
    }
    for (size_t m = 0; m < d->values.size(); ++m) {
        if (other.d->values[m].ready)
            filled(d->values[m], [&] { return *other.d->values[m].column; });
        if (other.d->ids[m].ready)
            filled(d->ids[m], [&] { return *other.d->ids[m].column; });
    }
}

FactTable::~FactTable() = default;

size_t FactTable::dimensionCount() const { return d->keys.size(); }
size_t FactTable::measureCount() const { return d->values.size(); }

const KeyColumn& FactTable::keys(size_t dimension) const
{
    if (dimension >= d->keys.size())
        missingColumn("key", dimension);
    return filled(d->keys[dimension], [&] {
        if (!d->source && mRowCount == 0)
            return KeyColumn();
        if (!d->source)
            missingColumn("key", dimension);
        return d->source->readKeys(dimension);
    });
}

const MeasureColumn& FactTable::values(size_t measure) const
{
    if (measure >= d->values.size())
        missingColumn("value", measure);
    return filled(d->values[measure], [&] {
        if (!d->source && mRowCount == 0)
            return MeasureColumn();
        if (!d->source)
            missingColumn("value", measure);
        return d->source->readValues(measure);
    });
}

const KeyColumn& FactTable::distinctIds(size_t measure) const
{
    if (measure >= d->ids.size())
        missingColumn("id", measure);
    return filled(d->ids[measure], [&] {
        if (!d->source && mRowCount == 0)
            return KeyColumn();
        if (!d->source)
            missingColumn("id", measure);
        return d->source->readDistinctIds(measure);
    });
}

// The columns are dealt out in turn to two threads: reading a column is
// copying it out of the page cache into fresh memory, which one core does
// at well under the machine's memory bandwidth.
void FactTable::read(std::span<const size_t> dimensions, std::span<const size_t> measures,
                     std::span<const size_t> distinct) const
{
    enum Kind { kKeys, kValues, kIds };
    std::vector<std::pair<Kind, size_t>> wanted;
    for (size_t k : dimensions) {
        if (k < d->keys.size() && !d->keys[k].ready)
            wanted.emplace_back(kKeys, k);
    }
    for (size_t m : measures) {
        if (m < d->values.size() && !d->values[m].ready)
            wanted.emplace_back(kValues, m);
    }
    for (size_t m : distinct) {
        if (m < d->ids.size() && !d->ids[m].ready)
            wanted.emplace_back(kIds, m);
    }
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < wanted.size(); i = next++) {
            if (wanted[i].first == kKeys)
                keys(wanted[i].second);
            else if (wanted[i].first == kValues)
                values(wanted[i].second);
            else
                distinctIds(wanted[i].second);
        }
    };
    const bool both = wanted.size() > 1 && platform::coreCount() > 1;
    platform::onThreads(both ? 2 : 1, [&](unsigned) { work(); });
}

void FactTable::setKeys(size_t dimension, KeyColumn keys)
{
    if (dimension >= d->keys.size() || keyCount(keys) != mRowCount)
        missingColumn("key", dimension);
    filled(d->keys[dimension], [&] { return std::move(keys); });
}

void FactTable::setValues(size_t measure, Column<double> values)
{
    setValues(measure, MeasureColumn{std::move(values)});
}

void FactTable::setValues(size_t measure, MeasureColumn values)
{
    if (measure >= d->values.size() || valueCount(values) != mRowCount)
        missingColumn("value", measure);
    filled(d->values[measure], [&] { return std::move(values); });
}

void FactTable::setDistinctIds(size_t measure, KeyColumn ids)
{
    if (measure >= d->ids.size() || keyCount(ids) != mRowCount)
        missingColumn("id", measure);
    filled(d->ids[measure], [&] { return std::move(ids); });
}

}  // namespace olap
