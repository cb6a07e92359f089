import sys
limit = int(sys.argv[1])
n = odd = even = 0
while True:
    n = n + 1
    if n % 3 == 0:
        even = even + n
    else:
        odd = odd + 1
    if n >= limit:
        break
print(even % 1000003 + odd)
