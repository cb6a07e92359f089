import math
import sys
n = int(sys.argv[1])
s = 0.0
for i in range(1, n + 1):
    s = s + math.sqrt(i) * math.sin(i)
print(math.floor(s * 1000))
