# The security directory of a program file (where its certificate table is):
#   security_directory.py FILE                prints "OFFSET SIZE"
#   security_directory.py FILE OFFSET SIZE    changes it in place
import struct, sys
path = sys.argv[1]
data = bytearray(open(path, 'rb').read())
pe = struct.unpack_from('<I', data, 60)[0]
magic = struct.unpack_from('<H', data, pe + 24)[0]
entry = pe + 24 + (96 if magic == 0x10b else 112) + 4 * 8
if len(sys.argv) == 4:
    struct.pack_into('<II', data, entry, int(sys.argv[2]), int(sys.argv[3]))
    open(path, 'wb').write(data)
else:
    print(*struct.unpack_from('<II', data, entry))
