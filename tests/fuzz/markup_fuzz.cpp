// The markup converter on any post text: no crash, no slow input (the run's
// timeout), and valid UTF-8 out.
#include "FuzzInput.h"
#include "UbbCode/UbbCode.h"
#include "platform/Strings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    markup::UbbCode converter;
    platform::Variant content{std::string(fuzz::text(data, size))};
    converter.UbbCode(content);
    fuzz::check(platform::IsValidUtf8(converter.Smiles(content)));
    return 0;
}
