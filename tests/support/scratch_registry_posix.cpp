#include "platform/registry_file_store.h"
#include "support/scratch_registry.h"

namespace vantrel::testing {

ScratchRegistry::ScratchRegistry()
    : m_registry(std::make_unique<platform::RegistryFileStore>(m_folder / "registry.reg")),
      m_key("SOFTWARE\\TORVELLANCE\\Vantrel") {}

ScratchRegistry::~ScratchRegistry() = default;

}  // namespace vantrel::testing
