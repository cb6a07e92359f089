import sys
n = int(sys.argv[1])
rows = [(i * 7919 % 1000003, i) for i in range(1, n + 1)]
rows.sort(key=lambda row: row[0])
print(rows[0][0] + rows[-1][0] + rows[0][1])
