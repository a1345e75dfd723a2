/* A file system that is slow to answer, as a sleeping disk or a share whose server is gone:
 * every look at it (attributes, free space, a folder's names) waits PROMPTELLA_SLOW_SECONDS
 * (8 by default) first. It holds one folder, "inside". The end-to-end tests mount it and give it
 * a drive letter under Wine. */
#define FUSE_USE_VERSION 31
#include <errno.h>
#include <fuse.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static unsigned slow_seconds = 8;

static void wait_a_while(void) { sleep(slow_seconds); }

static int slow_getattr(const char *path, struct stat *st, struct fuse_file_info *fi) {
  (void)fi;
  wait_a_while();
  memset(st, 0, sizeof(*st));
  if (strcmp(path, "/") == 0 || strcmp(path, "/inside") == 0) {
    st->st_mode = S_IFDIR | 0755;
    st->st_nlink = 2;
    return 0;
  }
  return -ENOENT;
}

static int slow_readdir(const char *path, void *buffer, fuse_fill_dir_t fill, off_t offset,
                        struct fuse_file_info *fi, enum fuse_readdir_flags flags) {
  (void)offset;
  (void)fi;
  (void)flags;
  wait_a_while();
  if (strcmp(path, "/") != 0 && strcmp(path, "/inside") != 0) return -ENOENT;
  fill(buffer, ".", NULL, 0, 0);
  fill(buffer, "..", NULL, 0, 0);
  if (strcmp(path, "/") == 0) fill(buffer, "inside", NULL, 0, 0);
  return 0;
}

static int slow_statfs(const char *path, struct statvfs *st) {
  (void)path;
  wait_a_while();
  memset(st, 0, sizeof(*st));
  st->f_bsize = 4096;
  st->f_blocks = 1024;
  st->f_namemax = 255;
  return 0;
}

static const struct fuse_operations operations = {
    .getattr = slow_getattr,
    .readdir = slow_readdir,
    .statfs = slow_statfs,
};

int main(int argc, char *argv[]) {
  const char *seconds = getenv("PROMPTELLA_SLOW_SECONDS");
  if (seconds) slow_seconds = (unsigned)atoi(seconds);
  return fuse_main(argc, argv, &operations, NULL);
}
