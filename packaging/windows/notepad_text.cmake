# Writes INPUT to OUTPUT as Windows Notepad reads it best: UTF-8 with a byte
# order mark, every line ended by CR LF.
#   cmake -DINPUT=README.md -DOUTPUT=README.txt -P notepad_text.cmake
file(READ "${INPUT}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 byte_order_mark)
file(WRITE "${OUTPUT}" "${byte_order_mark}${text}")
