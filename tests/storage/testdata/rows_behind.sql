# Items 1-5: the root, A, C with its data in chunk 2, X whose parent is no
# open ancestor (it ends the load), D after the end.
insert into res_item values (9999999, 9999999, 1, '', '', 0, 0)
insert into res_item values (1, 9999999, 2, '', '', 0, 0)
insert into res_item values (1, 2, 3, '', '', 0, 0)
insert into res_item values (99, 9999999, 4, '', '', 0, 0)
insert into res_item values (1, 9999999, 5, '', '', 0, 0)
# C's translation, then A's, which waits behind C's row and is then stale.
insert into trans_item values (3, 9999999, 0, '', 1, 0, 'for C')
insert into trans_item values (2, 9999999, 0, '', 2, 0, 'for A, too late')
# Chunk 1: the chain of the property of no known kind; 2: C's data.
insert into binary values (9999999, 0, '{7A 7A}')
insert into binary values (9999999, 0, '{63 63}')
# A property of no known kind stores nothing, but its chunk is consumed.
insert into prop (parent_key, name, type, binary_key, string, value, prop_type) values (1, '@odd', 7, 1, '', '5', 1)
insert into prop (parent_key, name, type, binary_key, string, value, prop_type) values (1, '@ok', 1, 9999999, 'yes', '', 1)
