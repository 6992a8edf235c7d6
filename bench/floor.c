/* The floor of a complete run: the system calls a run of the calculator cannot do without,
 * and nothing else, for the input "45 10" on a pipe. Built statically like the calculator. */
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

int main(void) {
  static const char prompt[] = "unesi ugao strme ravni u stepenima i visinu u metrima";
  static const char record[] =
      "vreme je      3.11s  za ugao     45.00deg  sa visine     10.00m\r\n";
  struct stat st;
  char block[132];

  signal(SIGPIPE, SIG_IGN); /* write failures must come back as errors */
  signal(SIGXFSZ, SIG_IGN);
  fstat(0, &st); /* the three handle types */
  fstat(1, &st);
  fstat(2, &st);
  int exists = stat("izlaz.dat", &st) == 0; /* existence test, then open */
  int fd = open("izlaz.dat", O_RDWR | O_CLOEXEC | O_NOCTTY | (exists ? 0 : O_CREAT | O_EXCL), 0666);
  if (write(1, prompt, sizeof prompt - 1) < 0) return 1;
  if (read(0, block, sizeof block) <= 0) return 1;
  fstat(fd, &st); /* length check and cut */
  if (st.st_size > 0 && ftruncate(fd, 0) != 0) return 1;
  if (write(fd, record, sizeof record - 1) < 0) return 1;
  close(fd);
  if (write(1, "\r\n", 2) < 0) return 1;
  _exit(0);
}
