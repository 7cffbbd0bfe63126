// Lets GTKTerm 1.2 keep a pseudo-terminal as its port. It drops a port that udev does not know
// and a port whose modem lines cannot be read; a pseudo-terminal has neither a device in sysfs
// nor modem lines. For /dev/pts/* only, the udev lookup answers with the multiplexer's device
// (/dev/ptmx) and reading the modem lines answers "none raised". Reading and showing the data are
// untouched. Preload it: LD_PRELOAD=pty_shim.so gtkterm --port /dev/pts/N
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

typedef struct _GUdevClient GUdevClient;
typedef struct _GUdevDevice GUdevDevice;

GUdevDevice *g_udev_client_query_by_device_file(GUdevClient *client, const char *file)
{
    GUdevDevice *(*real)(GUdevClient *, const char *) = dlsym(RTLD_NEXT, __func__);
    GUdevDevice *device = real(client, file);
    return device || strncmp(file, "/dev/pts/", 9) != 0 ? device : real(client, "/dev/ptmx");
}

int ioctl(int fd, unsigned long request, ...)
{
    int (*real)(int, unsigned long, void *) = dlsym(RTLD_NEXT, __func__);
    va_list arguments;
    va_start(arguments, request);
    void *argument = va_arg(arguments, void *);
    va_end(arguments);
    const int result = real(fd, request, argument);
    if (result < 0 && errno == ENOTTY && request == TIOCMGET && isatty(fd)) {
        *(int *)argument = 0;
        return 0;
    }
    return result;
}
