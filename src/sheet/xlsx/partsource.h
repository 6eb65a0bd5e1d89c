// A libzip source whose bytes are made only when libzip asks for them, while
// the archive is being written. A part that cannot be made fails the write
// instead of leaving a broken archive behind.
#pragma once

#include <zip.h>

#include <exception>
#include <functional>
#include <string>

namespace sheet {

// Makes a source for `archive` that calls `produce` once, on libzip's first
// request for the data or its size, and serves the result. When `produce`
// throws, the source reports an error (so zip_close fails) and the exception
// is stored in `*failure` unless one is stored there already. `failure` must
// outlive the archive. Returns null when libzip cannot allocate the source.
zip_source_t* makePartSource(zip_t* archive, std::function<std::string()> produce, std::exception_ptr* failure);

}  // namespace sheet
