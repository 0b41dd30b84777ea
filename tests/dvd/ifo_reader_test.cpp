// The disc's own map as the project's IFO reader reads it, against libdvdread's
// reading of the same authored disc: the independent reference.

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/nav_read.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "dvd/dvd_format.h"
#include "dvd/ifo_reader.h"
#include "dvd/nav_pack.h"
#include "support/authored_disc.h"
#include "support/temp_folder.h"

namespace vantrel::testing {
namespace {

using dvd::VobuMap;
using dvd::VobuMapKind;

// The navigation pack's fields where libdvdread's parsers find them: the PCI
// data after its substream id, the DSI data at DSI_START_BYTE.
static_assert(dvd::kNavPackLbnOffset == dvd::kPciSubstreamOffset + 1);
static_assert(dvd::kPciSubstreamOffset + PCI_BYTES == dvd::kDsiPacketOffset);
static_assert(dvd::kDsiSubstreamOffset + 1 == DSI_START_BYTE);
static_assert(dvd::kSectorSize == DVD_VIDEO_LB_LEN);

std::optional<VobuMap> entriesOf(const vobu_admap_t* map) {
    if (map == nullptr) return std::nullopt;
    const std::size_t count = (map->last_byte + 1 - VOBU_ADMAP_SIZE) / sizeof(std::uint32_t);
    return VobuMap(map->vobu_start_sectors, map->vobu_start_sectors + count);
}

// An IFO file's bytes, read whole for the reader.
class IfoInMemory final : public dvd::IfoSource {
  public:
    explicit IfoInMemory(const std::string& path) : m_bytes(readFile(path)) {}
    std::int64_t length() override { return std::int64_t(m_bytes.size()); }
    std::size_t read(std::int64_t offset, unsigned char* destination, std::size_t count) override {
        const std::size_t from = std::min(std::size_t(offset), m_bytes.size());
        const std::size_t got = std::min(count, m_bytes.size() - from);
        std::copy_n(m_bytes.begin() + std::ptrdiff_t(from), got, destination);
        return got;
    }

  private:
    Bytes m_bytes;
};

using Dvd = std::unique_ptr<dvd_reader_t, decltype(&DVDClose)>;
using Ifo = std::unique_ptr<ifo_handle_t, decltype(&ifoClose)>;

class IfoReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!disc.missing.empty()) GTEST_SKIP() << disc.missing;
        ASSERT_TRUE(dvd) << "libdvdread cannot open " << disc.root;
    }
    std::optional<VobuMap> ours(const std::string& ifo, VobuMapKind kind) {
        IfoInMemory bytes(disc.videoTs + "/" + ifo);
        return dvd::readVobuMap(bytes, ifo, kind);
    }
    // Each VOBU of `map` opens with an NV_PCK that gives its own sector
    // number, read by libdvdread from the DSI packet and by us from the PCI.
    void expectNavPacksWhereTheMapSays(int titleSet, dvd_read_domain_t domain, const VobuMap& map) {
        const std::unique_ptr<dvd_file_t, decltype(&DVDCloseFile)> vobs(
            DVDOpenFile(dvd.get(), titleSet, domain), &DVDCloseFile);
        ASSERT_TRUE(vobs);
        for (const std::uint32_t sector : map) {
            unsigned char block[DVD_VIDEO_LB_LEN];
            ASSERT_EQ(DVDReadBlocks(vobs.get(), int(sector), 1, block), 1);
            dsi_t dsi{};
            navRead_DSI(&dsi, block + DSI_START_BYTE);
            pci_t pci{};
            navRead_PCI(&pci, block + dvd::kNavPackLbnOffset);
            EXPECT_TRUE(dvd::isNavPack(block)) << sector;
            EXPECT_EQ(dsi.dsi_gi.nv_pck_lbn, sector);
            EXPECT_EQ(dvd::navPackLbn(block), dsi.dsi_gi.nv_pck_lbn);
            EXPECT_EQ(pci.pci_gi.nv_pck_lbn, dsi.dsi_gi.nv_pck_lbn);
        }
    }

    const AuthoredDisc& disc = authoredDisc();
    Dvd dvd{disc.missing.empty() ? DVDOpen(disc.root.c_str()) : nullptr, &DVDClose};
};

TEST_F(IfoReaderTest, ReadsEveryVobuMapAsLibdvdreadDoes) {
    const Ifo manager(ifoOpen(dvd.get(), 0), &ifoClose);
    ASSERT_TRUE(manager);
    const int titleSets = manager->vmgi_mat->vmg_nr_of_title_sets;
    IfoInMemory managerIfo(disc.videoTs + "/VIDEO_TS.IFO");
    EXPECT_EQ(dvd::readTitleSetCount(managerIfo, "VIDEO_TS.IFO"), titleSets);
    const auto menu = ours("VIDEO_TS.IFO", VobuMapKind::VideoManagerMenu);
    EXPECT_EQ(menu, entriesOf(manager->menu_vobu_admap));
    ASSERT_TRUE(menu);
    expectNavPacksWhereTheMapSays(0, DVD_READ_MENU_VOBS, *menu);

    ASSERT_EQ(titleSets, 2);
    for (int n = 1; n <= titleSets; ++n) {
        SCOPED_TRACE("title set " + std::to_string(n));
        const Ifo titleSet(ifoOpen(dvd.get(), n), &ifoClose);
        ASSERT_TRUE(titleSet);
        const std::string name = "VTS_0" + std::to_string(n) + "_0.IFO";
        const auto titleSetMenu = ours(name, VobuMapKind::TitleSetMenu);
        const auto titles = ours(name, VobuMapKind::Titles);
        EXPECT_EQ(titleSetMenu, entriesOf(titleSet->menu_vobu_admap));
        EXPECT_EQ(titles, entriesOf(titleSet->vts_vobu_admap));
        // The first title set has menus of its own, the second none.
        EXPECT_EQ(titleSetMenu.has_value(), n == 1);
        ASSERT_TRUE(titles);
        EXPECT_GT(titles->size(), 1u);
        if (titleSetMenu) expectNavPacksWhereTheMapSays(n, DVD_READ_MENU_VOBS, *titleSetMenu);
        expectNavPacksWhereTheMapSays(n, DVD_READ_TITLE_VOBS, *titles);
    }
}

}  // namespace
}  // namespace vantrel::testing
