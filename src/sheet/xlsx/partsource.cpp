#include "sheet/xlsx/partsource.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace sheet {

namespace {

struct PartSourceState {
    std::function<std::string()> produce;
    std::exception_ptr* failure = nullptr;
    std::optional<std::string> data;
    size_t position = 0;
    zip_error_t error{};
};

// Makes the data on first use; false when the producer threw.
bool make(PartSourceState& state)
{
    if (state.data)
        return true;
    try {
        state.data = state.produce();
        return true;
    } catch (...) {
        if (!*state.failure)
            *state.failure = std::current_exception();
        zip_error_set(&state.error, ZIP_ER_INTERNAL, 0);
        return false;
    }
}

zip_int64_t readInto(PartSourceState& state, void* data, zip_uint64_t length)
{
    const size_t count = std::min<size_t>(length, state.data->size() - state.position);
    std::memcpy(data, state.data->data() + state.position, count);
    state.position += count;
    return static_cast<zip_int64_t>(count);
}

zip_int64_t stat(PartSourceState& state, void* data)
{
    if (!make(state))
        return -1;
    auto* st = static_cast<zip_stat_t*>(data);
    zip_stat_init(st);
    st->size = state.data->size();
    st->valid |= ZIP_STAT_SIZE;
    return sizeof(zip_stat_t);
}

zip_int64_t callback(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* state = static_cast<PartSourceState*>(userdata);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        if (!make(*state))
            return -1;
        state->position = 0;
        return 0;
    case ZIP_SOURCE_READ: return readInto(*state, data, length);
    case ZIP_SOURCE_CLOSE: return 0;
    case ZIP_SOURCE_STAT: return stat(*state, data);
    case ZIP_SOURCE_ERROR: return zip_error_to_data(&state->error, data, length);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&state->error);
        delete state;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        zip_error_set(&state->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

}  // namespace

zip_source_t* makePartSource(zip_t* archive, std::function<std::string()> produce, std::exception_ptr* failure)
{
    // libzip owns the state once the source exists and hands it back with
    // ZIP_SOURCE_FREE, so it cannot live in a smart pointer here.
    auto* state = new PartSourceState;
    state->produce = std::move(produce);
    state->failure = failure;
    zip_error_init(&state->error);
    zip_source_t* source = zip_source_function(archive, callback, state);
    if (!source) {
        zip_error_fini(&state->error);
        delete state;
    }
    return source;
}

}  // namespace sheet
