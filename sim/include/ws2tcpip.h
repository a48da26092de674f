#include <winsock2.h>
