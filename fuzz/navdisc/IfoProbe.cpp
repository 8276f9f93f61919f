// Opens a disc folder with libdvdread alone, as the IFO fuzz target's pre-screen: exits 0 when
// every IFO file was opened (or refused) without a fault of libdvdread's.
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

// What libdvdread keeps until exit is not what the probe is for.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  dvd_reader_t* dvd = DVDOpen(argv[1]);
  if (!dvd) return 0;
  if (ifo_handle_t* vmg = ifoOpen(dvd, 0)) {
    const int sets = vmg->vmgi_mat ? vmg->vmgi_mat->vmg_nr_of_title_sets : 0;
    for (int i = 1; i <= sets && i <= 99; ++i)
      if (ifo_handle_t* h = ifoOpen(dvd, i)) ifoClose(h);
    ifoClose(vmg);
  }
  DVDClose(dvd);
  return 0;
}
