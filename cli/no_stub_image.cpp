// A build without the catstub image: --self-cat says so instead of writing a broken first piece.
#include "cli/command_support.h"

StubImage CarriedStubImage() {
    return {nullptr, 0};
}
